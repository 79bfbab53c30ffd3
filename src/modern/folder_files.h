#pragma once
// The files of a folder format (the Markdown folder, the web site) as its rendering hands
// them, one at a time, to what writes the folder (output_folder.h) or gathers them.

#include <QByteArray>
#include <QString>
#include <functional>
#include <string_view>
#include <type_traits>
#include <utility>

struct OutputFile {
  QString name;  // a path inside the output folder ("demo/hr/README.md")
  QByteArray bytes;
};

// Writes the next piece of a file made a piece at a time; false when it could not be (the
// pieces after it are then not wanted).
using WritePiece = std::function<bool(std::string_view piece)>;
// Makes a file's bytes, handing them to `write` a piece at a time.
using MakeFile = std::function<void(const WritePiece& write)>;

// Hands one file of a folder to its write, which stages it at once; false when it could
// not be (the write then fails with the reason). A file of megabytes (the site's index.html
// and search index) is handed as it is made, a piece at a time, so that it is never held
// whole; a write that takes files whole only (`pieces` empty) is handed it joined.
class PutFile {
 public:
  using Whole = std::function<bool(const QString& name, const QByteArray& bytes)>;
  using Pieces = std::function<bool(const QString& name, const MakeFile& make)>;

  template <typename F, typename = std::enable_if_t<!std::is_same_v<std::decay_t<F>, PutFile> &&
                                                    std::is_constructible_v<Whole, F>>>
  PutFile(F&& whole, Pieces pieces = {})
      : whole_(std::forward<F>(whole)), pieces_(std::move(pieces)) {}

  bool operator()(const QString& name, const QByteArray& bytes) const {
    return whole_(name, bytes);
  }
  bool operator()(const QString& name, const MakeFile& make) const;

 private:
  Whole whole_;
  Pieces pieces_;
};
