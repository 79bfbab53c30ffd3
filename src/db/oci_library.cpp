#include "db/oci_library.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include "db/oracle_backend.h"

namespace {

#ifdef _WIN32
const QString kLibrary = QStringLiteral("oci.dll");
const QStringList kVersioned;
const QString kHomeSubfolder = QStringLiteral("bin");
const QString kInstallHint = QStringLiteral(
    "Install Oracle Instant Client and add its folder to PATH, or set ORACLE_HOME to that "
    "folder.");
#else
const QString kLibrary = QStringLiteral("libclntsh.so");
const QStringList kVersioned = {"23.1", "21.1", "19.1", "18.1", "12.1", "11.1"};
const QString kHomeSubfolder = QStringLiteral("lib");
const QString kInstallHint = QStringLiteral(
    "Install Oracle Instant Client and add its folder to LD_LIBRARY_PATH (or to the loader's "
    "paths with ldconfig), or set ORACLE_HOME to that folder.");
#endif

// The client library's names, the unversioned first: Instant Client ships the versioned
// file and only sometimes the plain link.
QStringList LibraryNames() {
  QStringList names{kLibrary};
  for (const QString& v : kVersioned) names << kLibrary + u'.' + v;
  return names;
}

// A candidate: a bare name the loader looks up on its paths, or a file in a folder.
struct Candidate {
  QString file;
  bool bare = false;
};

// $VELLUMAR_OCI_LIBRARY alone when set; else each name on the loader's paths, then in the
// folder ORACLE_HOME names (an Instant Client folder holds the library itself), then in its
// lib (bin on Windows) folder, as a full client installation has it.
QList<Candidate> Candidates() {
  const QString forced = qEnvironmentVariable("VELLUMAR_OCI_LIBRARY");
  if (!forced.isEmpty()) return {{forced, !forced.contains(u'/')}};
  QList<Candidate> list;
  for (const QString& name : LibraryNames()) list.append({name, true});
  const QString home = qEnvironmentVariable("ORACLE_HOME");
  if (!home.isEmpty())
    for (const QString& folder : {home, home + u'/' + kHomeSubfolder})
      for (const QString& name : LibraryNames()) list.append({folder + u'/' + name, false});
  return list;
}

#ifdef _WIN32
void* Open(const QString& name, QString* reason) {
  HMODULE h = LoadLibraryW(reinterpret_cast<const wchar_t*>(name.utf16()));
  if (!h) *reason = QStringLiteral("Windows error %1").arg(GetLastError());
  return h;
}
void Close(void* lib) { FreeLibrary(static_cast<HMODULE>(lib)); }
void* Symbol(void* lib, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(lib), name));
}
// Windows says "module not found" (126) for the library and for what it needs alike.
bool Absent(const Candidate& c, const QString& reason) {
  return c.bare ? reason == QStringLiteral("Windows error 126") : !QFileInfo::exists(c.file);
}
#else
void* Open(const QString& name, QString* reason) {
  void* h = dlopen(name.toLocal8Bit().constData(), RTLD_NOW | RTLD_GLOBAL);
  if (!h) *reason = QString::fromLocal8Bit(dlerror());
  return h;
}
void Close(void* lib) { dlclose(lib); }
void* Symbol(void* lib, const char* name) { return dlsym(lib, name); }
// The loader names the file it could not open: the candidate itself when it is nowhere
// on its paths, or a library the candidate needs.
bool Absent(const Candidate& c, const QString& reason) {
  return c.bare ? reason.startsWith(c.file + QStringLiteral(": cannot open shared object file"))
                : !QFileInfo::exists(c.file);
}
#endif

// What to do about the failures of the candidates that exist.
QString Advice(const QStringList& reasons) {
  static const QRegularExpression needed(
      QStringLiteral("^(.*): ([^:]+): cannot open shared object file"));
  for (const QString& r : reasons) {
    const QRegularExpressionMatch m = needed.match(r);
    if (!m.hasMatch()) continue;
    const QString library = m.captured(2);
    QString hint = QStringLiteral("%1 needs %2, which is not installed: install it").arg(
        QFileInfo(m.captured(1)).fileName(), library);
    if (library.startsWith(QStringLiteral("libaio")))
      hint += QStringLiteral(" (the package libaio1, or libaio1t64 on newer releases, on Debian "
                             "and Ubuntu; libaio on Fedora and Red Hat)");
    return hint + u'.';
  }
  return QStringLiteral("Install Oracle Instant Client 11.2 or later, or point ORACLE_HOME at "
                        "another client.");
}

template <typename F>
void Resolve(void* lib, const char* name, F& f, QStringList& missing) {
  f = reinterpret_cast<F>(Symbol(lib, name));
  if (!f) missing << QLatin1String(name);
}

}  // namespace

std::shared_ptr<const OciLibrary> OciLibrary::Load() {
  QStringList failures;  // "file: reason" of every candidate that exists and failed
  for (const Candidate& c : Candidates()) {
    QString why;
    void* lib = Open(c.file, &why);
    if (!lib) {
      if (!Absent(c, why)) failures << (why.startsWith(c.file) ? why : c.file + ": " + why);
      continue;
    }
    auto api = std::make_shared<OciLibrary>();
    const QStringList missing = api->ResolveAll(lib);
    if (missing.isEmpty()) return api;
    Close(lib);
    failures << QStringLiteral("%1 lacks %2; it is too old or not an Oracle client")
                    .arg(c.file, missing.join(", "));
  }
  if (failures.isEmpty()) {
    const QString home = qEnvironmentVariable("ORACLE_HOME");
    const QString where =
        qEnvironmentVariable("VELLUMAR_OCI_LIBRARY").isEmpty()
            ? home.isEmpty() ? QStringLiteral("on the library path (ORACLE_HOME is not set)")
                             : QStringLiteral("on the library path, in ORACLE_HOME (%1) or in "
                                              "its %2 folder")
                                   .arg(home, kHomeSubfolder)
            : QStringLiteral("at %1 (VELLUMAR_OCI_LIBRARY)")
                  .arg(qEnvironmentVariable("VELLUMAR_OCI_LIBRARY"));
    throw OciLibraryMissing{QStringLiteral("the Oracle client library %1 was not found %2. %3")
                                .arg(kLibrary, where, kInstallHint)};
  }
  throw OciLibraryMissing{QStringLiteral("the Oracle client library could not be loaded: %1. %2")
                              .arg(failures.join("; "), Advice(failures))};
}

QStringList OciLibrary::ResolveAll(void* lib) {
  QStringList missing;
  Resolve(lib, "OCIEnvNlsCreate", EnvNlsCreate, missing);
  Resolve(lib, "OCIHandleAlloc", HandleAlloc, missing);
  Resolve(lib, "OCIHandleFree", HandleFree, missing);
  Resolve(lib, "OCIDescriptorFree", DescriptorFree, missing);
  Resolve(lib, "OCILogon2", Logon2, missing);
  Resolve(lib, "OCILogoff", Logoff, missing);
  Resolve(lib, "OCIStmtPrepare2", StmtPrepare2, missing);
  Resolve(lib, "OCIStmtRelease", StmtRelease, missing);
  Resolve(lib, "OCIBindByPos", BindByPos, missing);
  Resolve(lib, "OCIStmtExecute", StmtExecute, missing);
  Resolve(lib, "OCIDefineByPos", DefineByPos, missing);
  Resolve(lib, "OCIStmtFetch2", StmtFetch2, missing);
  Resolve(lib, "OCIAttrSet", AttrSet, missing);
  Resolve(lib, "OCIAttrGet", AttrGet, missing);
  Resolve(lib, "OCIParamGet", ParamGet, missing);
  Resolve(lib, "OCIErrorGet", ErrorGet, missing);
  return missing;
}
