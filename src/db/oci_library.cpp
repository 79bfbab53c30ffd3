#include "db/oci_library.h"

#include <QStringList>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include "db/oracle_backend.h"

namespace {

QStringList Candidates() {
  const QString forced = qEnvironmentVariable("VELLUMAR_OCI_LIBRARY");
  if (!forced.isEmpty()) return {forced};
#ifdef _WIN32
  QStringList names{"oci.dll"};
  const QString lib = "/bin/oci.dll";
#else
  QStringList names{"libclntsh.so"};
  for (const char* v : {"23.1", "21.1", "19.1", "18.1", "12.1", "11.1"})
    names << QStringLiteral("libclntsh.so.%1").arg(QLatin1String(v));
  const QString lib = "/lib/libclntsh.so";
#endif
  const QString home = qEnvironmentVariable("ORACLE_HOME");
  if (!home.isEmpty()) names << home + lib;
  return names;
}

#ifdef _WIN32
void* Open(const QString& name, QString* reason) {
  HMODULE h = LoadLibraryW(reinterpret_cast<const wchar_t*>(name.utf16()));
  if (!h) *reason = QStringLiteral("Windows error %1").arg(GetLastError());
  return h;
}
void* Symbol(void* lib, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(lib), name));
}
#else
void* Open(const QString& name, QString* reason) {
  void* h = dlopen(name.toLocal8Bit().constData(), RTLD_NOW | RTLD_GLOBAL);
  if (!h) *reason = QString::fromLocal8Bit(dlerror());
  return h;
}
void* Symbol(void* lib, const char* name) { return dlsym(lib, name); }
#endif

template <typename F>
void Resolve(void* lib, const char* name, F& f, QStringList& missing) {
  f = reinterpret_cast<F>(Symbol(lib, name));
  if (!f) missing << QLatin1String(name);
}

}  // namespace

std::shared_ptr<const OciLibrary> OciLibrary::Load() {
  const QStringList names = Candidates();
  QString reason;
  void* lib = nullptr;
  QString loaded;
  for (const QString& name : names) {
    QString why;
    lib = Open(name, &why);
    if (lib) {
      loaded = name;
      break;
    }
    if (reason.isEmpty()) reason = why;  // the first name's reason is the telling one
  }
  if (!lib)
    throw OciLibraryMissing{
        QStringLiteral("the Oracle client library %1 could not be loaded (%2). Install Oracle "
                       "Instant Client and add its directory to LD_LIBRARY_PATH, or set "
                       "ORACLE_HOME.")
            .arg(names.first(), reason)};

  auto api = std::make_shared<OciLibrary>();
  QStringList missing;
  Resolve(lib, "OCIEnvNlsCreate", api->EnvNlsCreate, missing);
  Resolve(lib, "OCIHandleAlloc", api->HandleAlloc, missing);
  Resolve(lib, "OCIHandleFree", api->HandleFree, missing);
  Resolve(lib, "OCIDescriptorFree", api->DescriptorFree, missing);
  Resolve(lib, "OCILogon2", api->Logon2, missing);
  Resolve(lib, "OCILogoff", api->Logoff, missing);
  Resolve(lib, "OCIStmtPrepare2", api->StmtPrepare2, missing);
  Resolve(lib, "OCIStmtRelease", api->StmtRelease, missing);
  Resolve(lib, "OCIBindByPos", api->BindByPos, missing);
  Resolve(lib, "OCIStmtExecute", api->StmtExecute, missing);
  Resolve(lib, "OCIDefineByPos", api->DefineByPos, missing);
  Resolve(lib, "OCIStmtFetch2", api->StmtFetch2, missing);
  Resolve(lib, "OCIAttrSet", api->AttrSet, missing);
  Resolve(lib, "OCIAttrGet", api->AttrGet, missing);
  Resolve(lib, "OCIParamGet", api->ParamGet, missing);
  Resolve(lib, "OCIErrorGet", api->ErrorGet, missing);
  if (!missing.isEmpty())
    throw OciLibraryMissing{
        QStringLiteral("the Oracle client library %1 lacks %2; it is too old or not an Oracle "
                       "client. Install Oracle Instant Client 11.2 or later.")
            .arg(loaded, missing.join(", "))};
  return api;
}
