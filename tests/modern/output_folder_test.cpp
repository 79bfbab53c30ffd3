// The Markdown folder as one change: the user's files, links and special files in it, a
// failed rename, a kill at each point, and a second build at the same time.
#include "modern/output_folder.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QTemporaryDir>
#include <functional>

#include "support/child_process.h"
#include "support/test_env.h"
#include "text/kill_point.h"
#include "text/temporary_files.h"

namespace {

using Files = QMap<QString, QByteArray>;

// Every entry of the folder and the folders below it, by its path: a file's bytes, what a
// link leads to, "<empty>" for an empty folder, "<other>" for the rest.
Files Contents(const QString& folder, const QString& prefix = {}) {
  Files files;
  for (const QFileInfo& f : QDir(folder).entryInfoList(
           QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
    const QString name = prefix + f.fileName();
    if (f.isDir() && !f.isSymLink()) {
      const Files below = Contents(f.filePath(), name + '/');
      files.insert(below);
      if (below.isEmpty()) files[name + '/'] = "<empty>";
      continue;
    }
    files[name] = f.isSymLink() ? "-> " + f.symLinkTarget().toUtf8()
                  : f.isFile()  ? testenv::ReadBytes(f.filePath())
                                : QByteArray("<other>");
  }
  return files;
}

// The folder as a write of `files` leaves it, with each folder's list: the names of its
// files and of the folders below it.
Files Written(Files files) {
  QMap<QString, QStringList> lists{{QString(), {}}};
  for (const QString& name : files.keys()) {
    const QStringList parts = name.split(u'/');
    for (qsizetype i = 0; i < parts.size(); ++i) {
      QStringList& list = lists[parts.mid(0, i).join(u'/')];
      const QString entry = parts[i] + (i + 1 < parts.size() ? "/" : "");
      if (!list.contains(entry)) list.append(entry);
    }
  }
  for (auto it = lists.begin(); it != lists.end(); ++it) {
    it->sort();
    files[(it.key().isEmpty() ? QString() : it.key() + '/') + kManifestName] =
        it->join(u'\n').toUtf8() + '\n';
  }
  return files;
}

FolderOutcome Write(const QString& folder, const Files& files, QString* error,
                    const MayReplaceUsersFiles& mayReplace = {}) {
  QList<OutputFile> list;
  for (auto it = files.cbegin(); it != files.cend(); ++it) list.append({it.key(), it.value()});
  return WriteOutputFolder(folder, list, mayReplace, error);
}

// Files are staged as they are made: a rendering that stops part way, or hands a name twice,
// leaves the folder as it was, nothing of the staging behind.
TEST(OutputFolder, ARenderingThatStopsPartWayChangesNothing) {
  QTemporaryDir dir;
  const QString folder = dir.filePath("site");
  QString error;
  ASSERT_EQ(Write(folder, {{"index.html", "1"}, {"a.html", "a"}}, &error), FolderOutcome::Written);
  const Files before = Contents(folder);
  const std::function<bool(const PutFile&)> stops[] = {
      [](const PutFile& put) { return put("index.html", "2") && put("b.html", "b") && false; },
      [](const PutFile& put) { return put("index.html", "2") && put("index.html", "3"); },
      [](const PutFile& put) -> bool {
        put("index.html", "2");
        throw std::runtime_error("a template ran out of bounds");
      },
  };
  for (const auto& produce : stops) {
    try {
      EXPECT_EQ(WriteOutputFolder(folder, produce, {}, &error), FolderOutcome::Failed);
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(Contents(folder), before);
  }
  EXPECT_TRUE(error.contains("index.html is no file name")) << error.toStdString();
}

TEST(OutputFolder, ReplacesOnlyWhatAnEarlierBuildListed) {
  QTemporaryDir dir;
  const QString folder = dir.filePath("docs");
  QString error;
  ASSERT_EQ(Write(folder, {{"README.md", "1"}, {"a.md", "a"}, {"b.md", "b"}}, &error),
            FolderOutcome::Written);
  testenv::WriteBytes(folder + "/notes.txt", "the user's");
  testenv::WriteBytes(folder + "/c.md", "hand-written");
  // A page of the user's that no list names stops the build, which names it.
  EXPECT_EQ(Write(folder, {{"README.md", "2"}, {"c.md", "c"}}, &error), FolderOutcome::UsersFiles);
  EXPECT_TRUE(error.contains("would replace: c.md. ")) << error.toStdString();
  // Asked, the user may let it go; b.md, which the first build wrote, goes, nothing else.
  QStringList asked;
  const auto yes = [&](const QStringList& names) { return (asked = names), true; };
  ASSERT_EQ(Write(folder, {{"README.md", "2"}, {"c.md", "c"}}, &error, yes),
            FolderOutcome::Written);
  EXPECT_EQ(asked, QStringList{"c.md"});
  Files expected = Written({{"README.md", "2"}, {"c.md", "c"}});
  expected["notes.txt"] = "the user's";
  EXPECT_EQ(Contents(folder), expected);

  // A list that names itself does not make the next build remove it. A page the user made
  // readable to themselves only stays so.
  testenv::WriteBytes(folder + "/" + kManifestName, ".vellumar-files\nREADME.md\nc.md\n");
  ASSERT_EQ(::chmod(QFile::encodeName(folder + "/README.md").constData(), 0600), 0);
  ASSERT_EQ(Write(folder, {{"README.md", "3"}}, &error), FolderOutcome::Written);
  EXPECT_EQ(Contents(folder).value(kManifestName), "README.md\n");
  struct stat readme {};
  ASSERT_EQ(::stat(QFile::encodeName(folder + "/README.md").constData(), &readme), 0);
  EXPECT_EQ(readme.st_mode & 0777, 0600u);

  // A list that names what lies outside the folder or below it removes none of it, and the
  // user's own pages and drawings stay whatever their kind.
  const QString outside = dir.filePath("outside.txt");
  QDir().mkpath(folder + "/sub");
  for (const QString& path :
       {outside, folder + "/sub/x.md", folder + "/notes.md", folder + "/d.svg"})
    testenv::WriteBytes(path, "the user's");
  testenv::WriteBytes(folder + "/" + kManifestName,
                      "README.md\n../outside.txt\n" + outside.toUtf8() + "\nsub/x.md\nsub\n");
  ASSERT_EQ(Write(folder, {{"README.md", "4"}}, &error), FolderOutcome::Written);
  expected = Written({{"README.md", "4"}});
  expected["notes.txt"] = expected["notes.md"] = expected["d.svg"] = "the user's";
  expected["sub/x.md"] = "the user's";
  EXPECT_EQ(Contents(folder), expected);
  EXPECT_EQ(testenv::ReadBytes(outside) + testenv::ReadBytes(folder + "/sub/x.md"),
            "the user'sthe user's");
}

// Nothing is read or written through a link or from a special file, and names are bytes.
TEST(OutputFolder, LinksAndSpecialFilesAreNeverFollowed) {
  const struct Case {
    const char* name;
    std::function<void(const QString& folder, const QString& outside)> plant;
    const char* reason;  // empty: written
  } cases[] = {
      {"the list a link to /dev/zero",
       [](const QString& f, const QString&) { QFile::link("/dev/zero", f + "/.vellumar-files"); },
       "It is a symbolic link"},
      {"the list a FIFO",
       [](const QString& f, const QString&) {
         ::mkfifo(QFile::encodeName(f + "/.vellumar-files").constData(), 0600);
       },
       "It is not a regular file"},
      {"the list larger than any list",
       [](const QString& f, const QString&) {
         QFile list(f + "/.vellumar-files");
         ASSERT_TRUE(list.open(QIODevice::WriteOnly) && list.resize(qint64(17) << 20));
       },
       "It is larger than 16 MiB"},
      {"links where the staged files went and in the staging folder's place",
       [](const QString& f, const QString& o) {
         QFile::link(o + "/victim", f + "/README.md.vellumar-new");
         QFile::link(o, f + "/.vellumar-staging");
       },
       ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QTemporaryDir dir;
    const QString folder = dir.filePath("docs"), outside = dir.filePath("outside");
    QDir().mkpath(folder);
    QDir().mkpath(outside);
    testenv::WriteBytes(outside + "/victim", "victim");
    c.plant(folder, outside);
    const Files before = Contents(folder);
    QString error;
    EXPECT_EQ(Write(folder, {{"README.md", "new"}}, &error),
              *c.reason ? FolderOutcome::Failed : FolderOutcome::Written);
    EXPECT_TRUE(error.contains(c.reason)) << error.toStdString();
    EXPECT_EQ(Contents(outside), (Files{{"victim", "victim"}}));
    if (*c.reason) {
      EXPECT_EQ(Contents(folder), before);
    } else {
      EXPECT_EQ(Contents(folder).value("README.md"), "new");
    }
  }

  // A folder that is a link, and a name that is not one file's name, are refused.
  QTemporaryDir dir;
  ASSERT_TRUE(QFile::link(dir.path(), dir.filePath("link")));
  QString error;
  EXPECT_EQ(Write(dir.filePath("link"), {{"README.md", "x"}}, &error), FolderOutcome::Failed);
  EXPECT_TRUE(error.contains("is a symbolic link, not a folder")) << error.toStdString();
  for (const char* name : {"x/../../y.md", "../y.md"}) {
    EXPECT_EQ(Write(dir.filePath("fresh"), {{name, "z"}}, &error), FolderOutcome::Failed);
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("fresh")));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("y.md")));
  }
  // A name that is not UTF-8 is written under its exact bytes.
  ASSERT_EQ(Write(dir.filePath("md") + QChar(0xDCFF), {{"README.md", "x"}}, &error),
            FolderOutcome::Written);
  struct stat st {};
  EXPECT_EQ(::stat((QFile::encodeName(dir.path()) + "/md\xff/README.md").constData(), &st), 0);
}

// Files in folders below: the folders are made and listed, a link or a file planted in a
// folder's place at any level stops the write, and an earlier build's folder goes once
// nothing of the user's is in it.
TEST(OutputFolder, FoldersBelowAreMadeAndTakenAwayWithoutFollowingLinks) {
  QTemporaryDir dir;
  const QString folder = dir.filePath("docs"), outside = dir.filePath("outside");
  QDir().mkpath(outside);
  testenv::WriteBytes(outside + "/a.md", "victim");
  QString error;
  const Files first = {{"README.md", "1"},
                       {"demo/hr/a.md", "a"},
                       {"demo/hr/a.svg", "<svg/>"},
                       {"demo/sales/b.md", "b"}};
  ASSERT_EQ(Write(folder, first, &error), FolderOutcome::Written) << error.toStdString();
  EXPECT_EQ(Contents(folder), Written(first));

  // The user's page in an owner's folder keeps it when the build no longer writes there.
  testenv::WriteBytes(folder + "/demo/hr/notes.md", "the user's");
  ASSERT_EQ(Write(folder, {{"README.md", "2"}, {"demo/sales/b.md", "b"}}, &error),
            FolderOutcome::Written);
  Files expected = Written({{"README.md", "2"}, {"demo/sales/b.md", "b"}});
  expected["demo/hr/notes.md"] = "the user's";
  EXPECT_EQ(Contents(folder), expected);
  ASSERT_EQ(Write(folder, {{"README.md", "3"}}, &error), FolderOutcome::Written);
  expected = Written({{"README.md", "3"}});
  expected["demo/hr/notes.md"] = "the user's";
  EXPECT_EQ(Contents(folder), expected);

  // A link in a folder's place, at the top or further down, or a file there.
  const struct Case {
    const char* name;
    const char* plant;  // made a link to `outside`, or a file when it ends in ".txt"
    const char* reason;
  } cases[] = {
      {"a link for the first folder", "demo", "demo is a symbolic link; a folder of the build"},
      {"a link further down", "demo/hr", "hr is a symbolic link; a folder of the build"},
      {"a file for a folder", "demo/hr.txt", "hr is a file; a folder of the build"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QDir(folder).removeRecursively();
    ASSERT_EQ(Write(folder, first, &error), FolderOutcome::Written);
    const QString planted = folder + '/' + QString(c.plant).remove(".txt");
    QDir(planted).removeRecursively();
    if (QString(c.plant).endsWith(".txt"))
      testenv::WriteBytes(planted, "the user's");
    else
      ASSERT_TRUE(QFile::link(outside, planted));
    const Files before = Contents(folder);
    EXPECT_EQ(Write(folder, {{"README.md", "4"}, {"demo/hr/a.md", "new"}}, &error),
              FolderOutcome::Failed);
    EXPECT_TRUE(error.contains(c.reason)) << error.toStdString();
    EXPECT_EQ(Contents(folder), before);
    // An earlier build's file behind the link is not removed either.
    ASSERT_EQ(Write(folder, {{"README.md", "5"}}, &error), FolderOutcome::Written);
    EXPECT_EQ(Contents(outside), (Files{{"a.md", "victim"}}));
  }
  // A name that is both a file and a folder of the build.
  EXPECT_EQ(Write(folder, {{"demo", "x"}, {"demo/a.md", "y"}}, &error), FolderOutcome::Failed);
  EXPECT_TRUE(error.contains("demo is both a file and a folder")) << error.toStdString();
  // A folder's list is read as the folder's own list is: never through a link.
  QDir(folder).removeRecursively();
  ASSERT_EQ(Write(folder, first, &error), FolderOutcome::Written);
  QFile::remove(folder + "/demo/hr/.vellumar-files");
  ASSERT_TRUE(QFile::link("/dev/zero", folder + "/demo/hr/.vellumar-files"));
  EXPECT_EQ(Write(folder, {{"README.md", "6"}}, &error), FolderOutcome::Failed);
  EXPECT_TRUE(error.contains("demo/hr/.vellumar-files can't be read: It is a symbolic link"))
      << error.toStdString();
}

QString g_sabotaged;  // the staged file the hook below takes away

TEST(OutputFolder, IsWhollyOldOrWhollyNewAfterAFailureAKillOrASecondBuild) {
  const Files oldFiles = Written({{"README.md", "old"},
                                  {"a.md", "a-old"},
                                  {"gone.md", "gone"},
                                  {"demo/hr/b.md", "b-old"},
                                  {"demo/gone/c.md", "gone"}});
  const Files newFiles = {{"README.md", "new"},
                          {"a.md", "a-new"},
                          {"fresh.md", "fresh"},
                          {"demo/hr/b.md", "b-new"},
                          {"demo/sales/d.md", "fresh"}};
  QTemporaryDir dir;
  const QString folder = dir.filePath("docs");
  QString error;
  const auto reset = [&] {
    QDir(folder).removeRecursively();
    Files files;
    for (auto it = oldFiles.cbegin(); it != oldFiles.cend(); ++it)
      if (!it.key().endsWith(kManifestName)) files.insert(it.key(), it.value());
    ASSERT_EQ(Write(folder, files, &error), FolderOutcome::Written) << error.toStdString();
  };

  // A rename that fails after others were done puts the old files back.
  reset();
  g_sabotaged = folder + "/.vellumar-staging/new/1";  // a.md, the second file made
  EXPECT_EQ(childprocess::Run([&] {
              killpoint::SetHook([](const char* point) {
                if (QByteArray(point) == "folder.renamed") QFile::remove(g_sabotaged);
              });
              return Write(folder, newFiles, &error) == FolderOutcome::Failed &&
                     error.contains("Can't replace " + folder + "/a.md");
            }),
            1);
  EXPECT_EQ(Contents(folder), oldFiles);

  // Killed at each point, the folder is old or new once the next build has put back what
  // the killed one left; stopped by SIGTERM, it is so at once.
  int points = 0;
  for (const int signal : {SIGKILL, SIGTERM}) {
    for (int n = 1;; ++n, ++points) {
      SCOPED_TRACE(testing::Message() << "signal " << signal << ", point " << n);
      reset();
      const bool stopped = childprocess::StoppedAtPoint(n, signal, [&] {
        if (signal == SIGTERM) temporaryfiles::RemoveOnSignals();
        Write(folder, newFiles, &error);
      });
      if (signal == SIGKILL) {
        ASSERT_TRUE(RecoverOutputFolder(folder, &error)) << error.toStdString();
      }
      const Files now = Contents(folder);
      EXPECT_TRUE(now == oldFiles || now == Written(newFiles))
          << QStringList(now.keys()).join(' ').toStdString();
      if (!stopped) break;
    }
  }
  // Nine files staged (five and four folders' lists), the journal, twelve names changed
  // (those and three of the old build's), the end; for each signal.
  EXPECT_EQ(points, 2 * 23);

  // A second build while one holds the folder fails at once and changes nothing.
  const int held = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
  ASSERT_EQ(::flock(held, LOCK_EX), 0);
  EXPECT_EQ(Write(folder, Files{{"README.md", "other"}}, &error), FolderOutcome::Failed);
  EXPECT_TRUE(error.contains("Another build is writing the folder")) << error.toStdString();
  ::close(held);
  EXPECT_EQ(Contents(folder), Written(newFiles));

  // A journal longer than the block it is written in (a thousand files) still puts back
  // every file, each from its own staged copy, after a kill at the last rename; the list
  // of the thousand names, longer than a block too, is whole.
  Files many, manyNew;
  for (int i = 0; i < 1000; ++i) {
    const QString name = QStringLiteral("page-%1-%2.md").arg(i).arg(QString(60, u'x'));
    many[name] = "old " + QByteArray::number(i);
    manyNew[name] = "new " + QByteArray::number(i);
  }
  QDir(folder).removeRecursively();
  ASSERT_EQ(Write(folder, many, &error), FolderOutcome::Written) << error.toStdString();
  const Files before = Contents(folder);
  EXPECT_TRUE(childprocess::StoppedAtPoint(2 * 1001 + 1, SIGKILL,
                                           [&] { Write(folder, manyNew, &error); }));
  ASSERT_TRUE(RecoverOutputFolder(folder, &error)) << error.toStdString();
  EXPECT_EQ(Contents(folder), before);
  ASSERT_EQ(Write(folder, manyNew, &error), FolderOutcome::Written) << error.toStdString();
  EXPECT_EQ(Contents(folder), Written(manyNew));

  // A build of a version that staged files under their own names left its journal.
  reset();
  QDir(folder).mkpath(".vellumar-staging/old");
  ASSERT_TRUE(QFile::rename(folder + "/a.md", folder + "/.vellumar-staging/old/a.md"));
  testenv::WriteBytes(folder + "/a.md", "a-new");
  testenv::WriteBytes(folder + "/.vellumar-staging/journal", "on a.md\nend\n");
  // While a write holds the folder, its journal is its own: nothing is put back.
  const Files leftBehind = Contents(folder);
  const int holder = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
  ASSERT_EQ(::flock(holder, LOCK_EX), 0);
  ASSERT_TRUE(RecoverOutputFolder(folder, &error)) << error.toStdString();
  EXPECT_EQ(Contents(folder), leftBehind);
  ::close(holder);
  ASSERT_TRUE(RecoverOutputFolder(folder, &error)) << error.toStdString();
  EXPECT_EQ(Contents(folder), oldFiles);
}

}  // namespace
