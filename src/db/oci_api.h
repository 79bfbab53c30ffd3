#pragma once
// The few OCI types, constants and entry points the Oracle backend uses, declared from the
// Oracle Call Interface documentation (no Oracle header is needed to build).

#include <cstddef>
#include <cstdint>

namespace oci {

using sword = int;
using ub2 = std::uint16_t;
using sb2 = std::int16_t;
using ub4 = std::uint32_t;
using sb4 = std::int32_t;
using OraText = unsigned char;

// Opaque handles.
struct OCIEnv;
struct OCIError;
struct OCISvcCtx;
struct OCIStmt;
struct OCIBind;
struct OCIDefine;
struct OCISnapshot;

// Return codes.
constexpr sword OCI_SUCCESS = 0;
constexpr sword OCI_SUCCESS_WITH_INFO = 1;
constexpr sword OCI_NO_DATA = 100;
constexpr sword OCI_INVALID_HANDLE = -2;

// Modes, handle and descriptor types, attributes, data types.
constexpr ub4 OCI_DEFAULT = 0;
constexpr ub4 OCI_THREADED = 1;
constexpr ub4 OCI_HTYPE_ENV = 1;
constexpr ub4 OCI_HTYPE_ERROR = 2;
constexpr ub4 OCI_HTYPE_SVCCTX = 3;
constexpr ub4 OCI_HTYPE_STMT = 4;
constexpr ub4 OCI_DTYPE_PARAM = 53;
constexpr ub4 OCI_ATTR_DATA_SIZE = 1;
constexpr ub4 OCI_ATTR_DATA_TYPE = 2;
constexpr ub4 OCI_ATTR_NAME = 4;
constexpr ub4 OCI_ATTR_PREFETCH_ROWS = 11;
constexpr ub4 OCI_ATTR_PARAM_COUNT = 18;
constexpr ub4 OCI_ATTR_CALL_TIMEOUT = 531;  // ub4 milliseconds per round trip; 18c clients on
constexpr ub4 OCI_NTV_SYNTAX = 1;
constexpr ub2 OCI_FETCH_NEXT = 2;
constexpr ub2 SQLT_CHR = 1;   // VARCHAR2
constexpr ub2 SQLT_LNG = 8;   // LONG
constexpr ub2 SQLT_LVC = 94;  // LONG VARCHAR: a 4-byte length, then the bytes
constexpr ub2 AL32UTF8 = 873;

using OCIEnvNlsCreate_t = sword (*)(OCIEnv** envp, ub4 mode, void* ctxp, void* malocfp,
                                    void* ralocfp, void* mfreefp, std::size_t xtramem_sz,
                                    void** usrmempp, ub2 charset, ub2 ncharset);
using OCIHandleAlloc_t = sword (*)(const void* parenth, void** hndlpp, ub4 type,
                                   std::size_t xtramem_sz, void** usrmempp);
using OCIHandleFree_t = sword (*)(void* hndlp, ub4 type);
using OCIDescriptorFree_t = sword (*)(void* descp, ub4 type);
using OCILogon2_t = sword (*)(OCIEnv* envhp, OCIError* errhp, OCISvcCtx** svchp,
                              const OraText* username, ub4 uname_len, const OraText* password,
                              ub4 passwd_len, const OraText* dbname, ub4 dbname_len, ub4 mode);
using OCILogoff_t = sword (*)(OCISvcCtx* svchp, OCIError* errhp);
using OCIStmtPrepare2_t = sword (*)(OCISvcCtx* svchp, OCIStmt** stmtp, OCIError* errhp,
                                    const OraText* stmttext, ub4 stmt_len, const OraText* key,
                                    ub4 keylen, ub4 language, ub4 mode);
using OCIStmtRelease_t = sword (*)(OCIStmt* stmtp, OCIError* errhp, const OraText* key,
                                   ub4 keylen, ub4 mode);
using OCIBindByPos_t = sword (*)(OCIStmt* stmtp, OCIBind** bindp, OCIError* errhp,
                                 ub4 position, void* valuep, sb4 value_sz, ub2 dty, void* indp,
                                 ub2* alenp, ub2* rcodep, ub4 maxarr_len, ub4* curelep,
                                 ub4 mode);
using OCIStmtExecute_t = sword (*)(OCISvcCtx* svchp, OCIStmt* stmtp, OCIError* errhp,
                                   ub4 iters, ub4 rowoff, const OCISnapshot* snap_in,
                                   OCISnapshot* snap_out, ub4 mode);
using OCIDefineByPos_t = sword (*)(OCIStmt* stmtp, OCIDefine** defnpp, OCIError* errhp,
                                   ub4 position, void* valuep, sb4 value_sz, ub2 dty,
                                   void* indp, ub2* rlenp, ub2* rcodep, ub4 mode);
using OCIStmtFetch2_t = sword (*)(OCIStmt* stmtp, OCIError* errhp, ub4 nrows,
                                  ub2 orientation, sb4 scrollOffset, ub4 mode);
using OCIAttrSet_t = sword (*)(void* trgthndlp, ub4 trghndltyp, void* attributep, ub4 size,
                               ub4 attrtype, OCIError* errhp);
using OCIAttrGet_t = sword (*)(const void* trgthndlp, ub4 trghndltyp, void* attributep,
                               ub4* sizep, ub4 attrtype, OCIError* errhp);
using OCIParamGet_t = sword (*)(const void* hndlp, ub4 htype, OCIError* errhp, void** parmdpp,
                                ub4 pos);
using OCIErrorGet_t = sword (*)(void* hndlp, ub4 recordno, OraText* sqlstate, sb4* errcodep,
                                OraText* bufp, ub4 bufsiz, ub4 type);

}  // namespace oci
