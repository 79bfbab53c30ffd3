#include "modern/folder_files.h"

bool PutFile::operator()(const QString& name, const MakeFile& make) const {
  if (pieces_) return pieces_(name, make);
  QByteArray bytes;
  make([&bytes](std::string_view piece) {
    bytes.append(piece.data(), qsizetype(piece.size()));
    return true;
  });
  return whole_(name, bytes);
}
