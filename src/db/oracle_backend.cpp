#include "db/oracle_backend.h"

#include "db/oci_library.h"

std::unique_ptr<Backend> OpenOracleBackend(const QString&, const QString&, const QString&) {
  OciLibrary::Load();
  throw BackendFailure{QStringLiteral("The Oracle backend is not available in this build.")};
}
