#pragma once
// The Oracle client library, loaded at run time so that the program runs (on snapshots)
// where no Oracle client is installed.
//
// Candidates, first loadable wins: $VELLUMAR_OCI_LIBRARY alone when set (tests point it at
// a stub); else libclntsh.so and its versioned names from 23.1 down to 11.1 on the loader's
// paths, then in the folder $ORACLE_HOME names (Instant Client keeps the library there), then
// in its lib folder (a full client); oci.dll and bin on Windows. A candidate that exists but
// does not load (a library it needs is missing, it is no Oracle client) is named in the
// error with its reason. The library stays loaded for the rest of the process: client
// libraries do not unload cleanly.

#include <QString>
#include <QStringList>
#include <memory>

#include "db/oci_api.h"

class OciLibrary {
 public:
  // Loads the library and resolves every entry point; throws OciLibraryMissing.
  static std::shared_ptr<const OciLibrary> Load();

  oci::OCIEnvNlsCreate_t EnvNlsCreate = nullptr;
  oci::OCIHandleAlloc_t HandleAlloc = nullptr;
  oci::OCIHandleFree_t HandleFree = nullptr;
  oci::OCIDescriptorFree_t DescriptorFree = nullptr;
  oci::OCILogon2_t Logon2 = nullptr;
  oci::OCILogoff_t Logoff = nullptr;
  oci::OCIStmtPrepare2_t StmtPrepare2 = nullptr;
  oci::OCIStmtRelease_t StmtRelease = nullptr;
  oci::OCIBindByPos_t BindByPos = nullptr;
  oci::OCIStmtExecute_t StmtExecute = nullptr;
  oci::OCIDefineByPos_t DefineByPos = nullptr;
  oci::OCIStmtFetch2_t StmtFetch2 = nullptr;
  oci::OCIAttrSet_t AttrSet = nullptr;
  oci::OCIAttrGet_t AttrGet = nullptr;
  oci::OCIParamGet_t ParamGet = nullptr;
  oci::OCIErrorGet_t ErrorGet = nullptr;

 private:
  // Resolves every entry point in `lib`; the names it lacks.
  QStringList ResolveAll(void* lib);
};
