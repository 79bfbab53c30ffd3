// Runs a fuzz target once on each seed file named on the command line (a folder: each
// regular file in it), as libFuzzer would, without libFuzzer. A violated property aborts;
// no seed at all is an error, so a test of the seeds cannot pass by reading nothing.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
  int seeds = 0;
  for (int i = 1; i < argc; ++i) {
    const QString arg = QFile::decodeName(argv[i]);
    QStringList files{arg};
    if (QFileInfo(arg).isDir()) {
      files.clear();
      for (const QFileInfo& f : QDir(arg).entryInfoList(QDir::Files, QDir::Name))
        files.append(f.filePath());
    }
    for (const QString& name : files) {
      QFile file(name);
      if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "can't read the seed %s\n", qPrintable(name));
        return 1;
      }
      const QByteArray bytes = file.readAll();
      LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.constData()),
                             size_t(bytes.size()));
      ++seeds;
    }
  }
  std::printf("%d seeds\n", seeds);
  return seeds > 0 ? 0 : 1;
}
