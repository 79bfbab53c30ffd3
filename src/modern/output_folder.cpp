#include "modern/output_folder.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QSet>
#include <algorithm>
#include <cerrno>
#include <map>
#include <string_view>
#include <utility>
#include <vector>

#include "text/file_name.h"
#include "text/input_file.h"
#include "text/kill_point.h"
#include "text/temporary_files.h"

namespace {

// Inside the folder while a write is under way: new/ holds the new files, old/ the files
// they replace, and the journal lists every name the change touches.
constexpr char kStaging[] = ".vellumar-staging";
constexpr char kNewDir[] = "new";
constexpr char kOldDir[] = "old";
constexpr char kJournal[] = "journal";
constexpr char kJournalPart[] = "journal.part";
constexpr char kJournalEnd[] = "end";

// A descriptor closed with its scope.
class Fd {
 public:
  explicit Fd(int fd = -1) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(Fd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  Fd& operator=(Fd&& other) noexcept {
    std::swap(fd_, other.fd_);
    return *this;
  }
  int get() const { return fd_; }
  explicit operator bool() const { return fd_ >= 0; }

 private:
  int fd_;
};

Fd OpenFolder(int at, const char* name) {
  return Fd(::openat(at, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
}

bool Exists(int dirFd, const char* name, struct stat* st = nullptr) {
  struct stat s {};
  const bool found = ::fstatat(dirFd, name, &s, AT_SYMLINK_NOFOLLOW) == 0;
  if (st) *st = s;
  return found;
}

QString Reason(int error) { return inputfile::Reason(error); }

// A path inside the folder: names joined by "/", none empty, "." or "..", never a path out
// of it, nor into the staging folder or below the list.
bool IsPath(const QByteArray& path) {
  if (path.isEmpty() || path.contains('\0') || path.contains('\n')) return false;
  const QByteArrayList names = path.split('/');
  if (names.first() == kStaging || (names.size() > 1 && names.first() == kManifestName))
    return false;
  for (const QByteArray& name : names)
    if (name.isEmpty() || name == "." || name == "..") return false;
  return true;
}

// The folder a path lies in ("" for the folder itself) and its last name.
QByteArray FolderOf(const QByteArray& path) {
  const qsizetype slash = path.lastIndexOf('/');
  return slash < 0 ? QByteArray() : path.left(slash);
}
QByteArray BaseOf(const QByteArray& path) { return path.mid(path.lastIndexOf('/') + 1); }

// The folders a path lies in, outermost first: "a/b/c.md" gives "a", "a/b".
QByteArrayList FoldersAbove(const QByteArray& path) {
  QByteArrayList folders;
  for (qsizetype at = path.indexOf('/'); at > 0; at = path.indexOf('/', at + 1))
    folders.append(path.left(at));
  return folders;
}

// The folders below the output folder, each opened once by its names in turn, never
// through a link: a planted link at any level makes the open fail (ELOOP or ENOTDIR).
class Folders {
 public:
  explicit Folders(int rootFd) : root_(rootFd) {}
  // The descriptor of `folder` ("" the output folder), or -1 with errno set.
  int At(const QByteArray& folder) {
    if (folder.isEmpty()) return root_;
    const auto found = open_.find(folder);
    if (found != open_.end()) return found->second.get();
    const int parent = At(FolderOf(folder));
    if (parent < 0) return -1;
    Fd fd = OpenFolder(parent, BaseOf(folder).constData());
    if (!fd) return -1;
    return open_.emplace(folder, std::move(fd)).first->second.get();
  }

 private:
  int root_;
  std::map<QByteArray, Fd> open_;
};

// One path the change touches: a file that was there before (`old`) and whether a new one
// goes there (`fresh`; an old file and no new one is a file of an earlier build removed),
// or a `folder` the change makes, or takes away (`old`) when nothing else is in it. The
// journal keeps them in this order; a file's staged copies are new/N and old/N, N its
// place among the journal's files.
struct Entry {
  QByteArray name;
  bool old = false;
  bool fresh = false;
  bool folder = false;
};

// Journals of builds before folders: one line per file, staged under its own name.
constexpr char kJournalV2[] = "v2";

std::string_view View(const QByteArray& bytes) {
  return std::string_view(bytes.constData(), std::size_t(bytes.size()));
}

bool WriteAll(int fd, std::string_view bytes, int* error) {
  for (std::size_t at = 0; at < bytes.size();) {
    const ssize_t put = ::write(fd, bytes.data() + at, bytes.size() - at);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) {
      *error = put < 0 ? errno : EIO;
      return false;
    }
    at += put;
  }
  return true;
}

// Writes the journal a block of lines at a time: a large folder's is megabytes, which are
// not held whole.
bool WriteJournalText(int fd, const QList<Entry>& entries, int* error) {
  constexpr qsizetype kBlock = 64 * 1024;
  QByteArray block = QByteArray(kJournalV2) + '\n';
  for (const Entry& e : entries) {
    if (e.folder) {
      block += e.old ? "do " : "d- ";
    } else {
      block += e.old ? 'o' : '-';
      block += e.fresh ? "n " : "- ";
    }
    block += e.name;
    block += '\n';
    if (block.size() >= kBlock) {
      if (!WriteAll(fd, View(block), error)) return false;
      block.resize(0);
    }
  }
  block += kJournalEnd;
  block += '\n';
  return WriteAll(fd, View(block), error);
}

bool ParseJournal(const QByteArray& text, QList<Entry>* entries, bool* numbered) {
  QByteArrayList lines = text.split('\n');
  if (lines.size() < 2 || lines.takeLast() != "" || lines.takeLast() != kJournalEnd) return false;
  *numbered = !lines.isEmpty() && lines.first() == kJournalV2;
  if (*numbered) lines.removeFirst();
  for (const QByteArray& line : lines) {
    if (line.size() < 4 || line[2] != ' ') return false;
    const bool folder = line[0] == 'd';
    const Entry e{line.mid(3), line[folder ? 1 : 0] == 'o', !folder && line[1] == 'n', folder};
    if (!IsPath(e.name) || (!*numbered && e.name.contains('/'))) return false;
    entries->append(e);
  }
  return true;
}

// Where the entries' staged copies in new/ and old/ are: a file's place among the journal's
// files (-1 for a folder, which has none). Numbers, not names: a large folder's journal has
// tens of thousands of entries.
std::vector<qint32> StagedPlaces(const QList<Entry>& entries) {
  std::vector<qint32> places;
  places.reserve(std::size_t(entries.size()));
  qint32 files = 0;
  for (const Entry& e : entries) places.push_back(e.folder ? -1 : files++);
  return places;
}

// The name of an entry's staged copies: its place, or its own name in a journal of a
// build before folders.
QByteArray StagedName(const Entry& e, qint32 place, bool numbered) {
  return numbered ? QByteArray::number(place) : e.name;
}

// Reads the regular file `name` of a folder whole: a link, FIFO or device is refused, and
// so is one larger than any list of ours. *missing when there is none.
bool ReadListFile(int dirFd, const char* name, QByteArray* bytes, bool* missing,
                  QString* reason) {
  *missing = false;
  Fd fd(::openat(dirFd, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (!fd) {
    *missing = errno == ENOENT;
    if (!*missing)
      *reason = errno == ELOOP ? QStringLiteral("It is a symbolic link") : Reason(errno);
    return *missing;
  }
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
    *reason = QStringLiteral("It is not a regular file");
    return false;
  }
  if (st.st_size > inputfile::kMaxReadBytes) {
    *reason = QStringLiteral("It is larger than %1 MiB").arg(inputfile::kMaxReadBytes >> 20);
    return false;
  }
  bytes->resize(st.st_size);
  qsizetype at = 0;
  while (at < bytes->size()) {
    const ssize_t got = ::read(fd.get(), bytes->data() + at, bytes->size() - at);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      *reason = Reason(errno);
      return false;
    }
    if (got == 0) break;
    at += got;
  }
  bytes->truncate(at);
  return true;
}

// What an earlier build listed: its files, and its folders. Each folder's list names the
// files in it and the folders below it (with a "/" at the end), by their names, so that no
// list grows with the whole document. A file in a folder counts only when the lists name
// each folder above it too; a list that names the staging folder names nothing there.
struct Manifest {
  QSet<QByteArray> files;
  QSet<QByteArray> folders;
};

QByteArray Join(const QByteArray& folder, const QByteArray& name) {
  return folder.isEmpty() ? name : folder + '/' + name;
}

// Reads the list of `folder` and those of the folders it names; *failed names the list
// that cannot be read.
bool ReadManifest(Folders& folders, const QByteArray& folder, Manifest* manifest,
                  QByteArray* failed, QString* reason) {
  const int at = folders.At(folder);
  if (at < 0) return true;  // gone, or a link: nothing below it is the build's
  QByteArray text;
  bool missing = false;
  if (!ReadListFile(at, kManifestName, &text, &missing, reason)) {
    *failed = Join(folder, kManifestName);
    return false;
  }
  if (missing) return true;
  if (!folder.isEmpty()) manifest->files.insert(Join(folder, kManifestName));
  QByteArrayList files, below;
  for (const QByteArray& line : text.split('\n')) {
    const QByteArray name = line.trimmed();
    if (name.endsWith('/') && IsPath(name.chopped(1)))
      below.append(Join(folder, name.chopped(1)));
    else if (IsPath(name))
      files.append(Join(folder, name));
  }
  for (const QByteArray& sub : below) {
    manifest->folders.insert(sub);
    if (!ReadManifest(folders, sub, manifest, failed, reason)) return false;
  }
  for (const QByteArray& name : files) {
    const QByteArrayList above = FoldersAbove(name);
    if (std::all_of(above.begin(), above.end(),
                    [&](const QByteArray& f) { return manifest->folders.contains(f); }))
      manifest->files.insert(name);
  }
  return true;
}

// Puts each entry's old file back, takes away the new file of a name that had none, and
// the folders the change made, last first. False with the errno of the first failure.
bool RollBack(int dirFd, int stageFd, const QList<Entry>& entries, bool numbered, int* error) {
  const Fd oldFolder = OpenFolder(stageFd, kOldDir);
  const Fd newFolder = OpenFolder(stageFd, kNewDir);
  Folders folders(dirFd);
  const std::vector<qint32> places = StagedPlaces(entries);
  bool ok = true;
  for (qsizetype i = entries.size() - 1; i >= 0; --i) {
    const Entry& e = entries[i];
    const QByteArray staged = StagedName(e, places[std::size_t(i)], numbered);
    const int at = folders.At(FolderOf(e.name));
    const QByteArray base = BaseOf(e.name);
    int result = 0;
    if (at < 0) {
      // The folder is not there: neither is anything of this change in it, unless it is a
      // link, which nothing here goes through.
      result = errno == ENOENT ? 0 : -1;
    } else if (e.folder && e.old) {
      result = ::mkdirat(at, base.constData(), 0777) != 0 && errno != EEXIST ? -1 : 0;
    } else if (e.folder) {
      result = ::unlinkat(at, base.constData(), AT_REMOVEDIR) != 0 && errno != ENOENT &&
                       errno != ENOTEMPTY && errno != EEXIST
                   ? -1
                   : 0;
    } else if (e.old && oldFolder && Exists(oldFolder.get(), staged.constData())) {
      result = ::renameat(oldFolder.get(), staged.constData(), at, base.constData());
    } else if (!e.old && e.fresh && !(newFolder && Exists(newFolder.get(), staged.constData()))) {
      result = ::unlinkat(at, base.constData(), 0) != 0 && errno != ENOENT ? -1 : 0;
    }
    if (result != 0 && ok) {
      ok = false;
      *error = errno;
    }
  }
  ::fsync(dirFd);
  return ok;
}

bool Recover(int dirFd, const QString& shown, QString* error) {
  struct stat st {};
  if (!Exists(dirFd, kStaging, &st)) return true;
  const QString staging = shown + QDir::separator() + QLatin1String(kStaging);
  if (S_ISDIR(st.st_mode)) {
    const Fd stage = OpenFolder(dirFd, kStaging);
    QByteArray text;
    bool missing = false;
    QString reason;
    if (!stage || !ReadListFile(stage.get(), kJournal, &text, &missing, &reason)) {
      *error = QStringLiteral("The journal of an interrupted build in %1 can't be read: %2")
                   .arg(staging, stage ? reason : Reason(errno));
      return false;
    }
    // Without a journal the interrupted build changed nothing yet, or had finished.
    if (!missing) {
      QList<Entry> entries;
      bool numbered = false;
      int failure = 0;
      if (!ParseJournal(text, &entries, &numbered)) {
        *error = QStringLiteral("The journal of an interrupted build in %1 is damaged; put the "
                                "files back by hand and remove it")
                     .arg(staging);
        return false;
      }
      if (!RollBack(dirFd, stage.get(), entries, numbered, &failure)) {
        *error = QStringLiteral("The files an interrupted build replaced can't be put back from "
                                "%1: %2")
                     .arg(staging, Reason(failure));
        return false;
      }
      ::unlinkat(stage.get(), kJournal, 0);
    }
  }
  if (!temporaryfiles::RemoveTree(dirFd, kStaging)) {
    *error = QStringLiteral("Can't remove %1: %2").arg(staging, Reason(errno));
    return false;
  }
  return true;
}

// Makes the folders above `path` that are missing, each by its bytes.
bool MakeParents(const QByteArray& path) {
  for (qsizetype at = path.indexOf('/', 1); at > 0; at = path.indexOf('/', at + 1))
    if (::mkdir(path.left(at).constData(), 0777) != 0 && errno != EEXIST) return false;
  return true;
}


// The write of one folder, with the folder open and locked.
class FolderChange {
 public:
  FolderChange(int dirFd, QString shown) : dirFd_(dirFd), shown_(std::move(shown)) {}
  ~FolderChange() {
    if (staged_) temporaryfiles::RemoveTree(dirFd_, kStaging);
  }

  // Makes the staging folder afresh, with new/ in it for the files.
  bool Begin(const QByteArray& folder, QString* error) {
    if (::mkdirat(dirFd_, kStaging, 0700) != 0) return Failed(kStaging, errno, error);
    staged_ = true;
    named_.Set(folder + '/' + kStaging, true);
    stage_ = OpenFolder(dirFd_, kStaging);
    if (!stage_ || ::mkdirat(stage_.get(), kNewDir, 0700) != 0)
      return Failed(kStaging, errno, error);
    fresh_ = OpenFolder(stage_.get(), kNewDir);
    if (!fresh_) return Failed(kStaging, errno, error);
    return true;
  }

  // Writes the file that goes to `name` into new/, as new/`index`, as `make` makes it: the
  // files are staged in the order the journal lists them.
  bool Stage(qsizetype index, const QByteArray& name, const MakeFile& make, QString* error) {
    int failure = 0;
    const Fd fd(::openat(fresh_.get(), QByteArray::number(index).constData(),
                         O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
    if (!fd) return Failed(name, errno, error);
    // Small pieces (a page is rendered a line at a time) are gathered into blocks.
    constexpr std::size_t kBlock = 64 * 1024;
    QByteArray block;
    const auto flush = [&] {
      const bool ok = failure == 0 && WriteAll(fd.get(), View(block), &failure);
      block.resize(0);
      return ok;
    };
    make([&](std::string_view piece) {
      if (std::size_t(block.size()) + piece.size() < kBlock) {
        block.append(piece.data(), qsizetype(piece.size()));
        return failure == 0;
      }
      return flush() && WriteAll(fd.get(), piece, &failure);
    });
    if (!flush()) return Failed(name, failure, error);
    killpoint::Reach("folder.staged");
    return true;
  }
  bool Stage(qsizetype index, const QByteArray& name, const QByteArray& bytes, QString* error) {
    return Stage(index, name, [&bytes](const WritePiece& write) { write(View(bytes)); }, error);
  }

  // Everything staged reaches the disk before the first rename.
  bool Staged(QString* error) {
    if (::syncfs(dirFd_) != 0) return Failed(kStaging, errno, error);
    return true;
  }

  // Makes the folders `entries` list, renames the new files over their names and takes
  // away the earlier build's files that `entries` list without a new one, each through
  // `folders`. On a failure the old files are put back and the made folders taken away.
  bool Commit(const QList<Entry>& entries, Folders& folders, QString* error) {
    if (::mkdirat(stage_.get(), kOldDir, 0700) != 0) return Failed(kStaging, errno, error);
    const Fd old = OpenFolder(stage_.get(), kOldDir);
    const Fd fresh = OpenFolder(stage_.get(), kNewDir);
    if (!old || !fresh) return Failed(kStaging, errno, error);
    if (!WriteJournal(entries, error)) return false;
    const std::vector<qint32> places = StagedPlaces(entries);
    for (qsizetype i = 0; i < entries.size(); ++i) {
      const Entry& e = entries[i];
      const QByteArray staged = StagedName(e, places[std::size_t(i)], true);
      const QByteArray base = BaseOf(e.name);
      const char* name = base.constData();
      const int at = folders.At(FolderOf(e.name));
      if (at < 0) return Undo(entries, e.name, errno, error);
      // A folder that still holds anything (a file of the user's) stays.
      if (e.folder && e.old) {
        if (::unlinkat(at, name, AT_REMOVEDIR) != 0 && errno != ENOENT && errno != ENOTEMPTY &&
            errno != EEXIST)
          return Undo(entries, e.name, errno, error);
        continue;
      }
      if (e.folder) {
        if (::mkdirat(at, name, 0777) != 0) return Undo(entries, e.name, errno, error);
        continue;
      }
      // A page the user narrowed (chmod 600: the document is confidential) stays as narrow
      // when its new bytes take its place.
      struct stat was {};
      if (e.old && e.fresh && ::fstatat(at, name, &was, AT_SYMLINK_NOFOLLOW) == 0 &&
          S_ISREG(was.st_mode))
        ::fchmodat(fresh.get(), staged.constData(), was.st_mode & 0777, 0);
      // The old file is kept by a second name, so its name is never empty; where the file
      // system has no hard links, it is moved.
      if (e.old && ::linkat(at, name, old.get(), staged.constData(), 0) != 0 &&
          ::renameat(at, name, old.get(), staged.constData()) != 0 && errno != ENOENT)
        return Undo(entries, e.name, errno, error);
      if (e.fresh && ::renameat(fresh.get(), staged.constData(), at, name) != 0)
        return Undo(entries, e.name, errno, error);
      if (!e.fresh && ::unlinkat(at, name, 0) != 0 && errno != ENOENT)
        return Undo(entries, e.name, errno, error);
      killpoint::Reach("folder.renamed");
    }
    ::syncfs(dirFd_);
    // The change is whole from here: without its journal the staging folder is leftovers.
    ::unlinkat(stage_.get(), kJournal, 0);
    ::fsync(stage_.get());
    killpoint::Reach("folder.committed");
    return true;
  }

 private:
  bool WriteJournal(const QList<Entry>& entries, QString* error) {
    int failure = 0;
    const Fd fd(::openat(stage_.get(), kJournalPart,
                         O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!fd || !WriteJournalText(fd.get(), entries, &failure) || ::fsync(fd.get()) != 0 ||
        ::renameat(stage_.get(), kJournalPart, stage_.get(), kJournal) != 0 ||
        ::fsync(stage_.get()) != 0)
      return Failed(kJournal, failure != 0 ? failure : errno, error);
    killpoint::Reach("folder.journal");
    return true;
  }

  bool Undo(const QList<Entry>& entries, const QByteArray& name, int failure, QString* error) {
    int undoFailure = 0;
    *error = QStringLiteral("Can't replace %1: %2")
                 .arg(Shown(name), Reason(failure));
    if (!RollBack(dirFd_, stage_.get(), entries, true, &undoFailure)) {
      // The journal stays, so that the next build puts back what this one could not.
      staged_ = false;
      named_.Forget();
      *error += QStringLiteral("; the files it replaced are kept in %1 (%2)")
                    .arg(Shown(kStaging), Reason(undoFailure));
    }
    return false;
  }

  bool Failed(const QByteArray& name, int failure, QString* error) {
    *error = QStringLiteral("Can't write %1: %2").arg(Shown(name), Reason(failure));
    return false;
  }

  QString Shown(const QByteArray& name) const {
    return shown_ + QDir::separator() + QDir::toNativeSeparators(filename::FromBytes(name));
  }

  int dirFd_;
  QString shown_;
  Fd stage_;
  Fd fresh_;
  bool staged_ = false;
  temporaryfiles::Named named_;
};

}  // namespace

bool RecoverOutputFolder(const QString& folder, QString* error) {
  // A folder that cannot be opened (none yet, a link, a file) holds nothing to put back;
  // the write says what stops it.
  const Fd dir = OpenFolder(AT_FDCWD, filename::ToBytes(folder).constData());
  if (!dir) return true;
  // A build that holds the folder is writing its journal now, not leaving one behind.
  if (::flock(dir.get(), LOCK_EX | LOCK_NB) != 0) return true;
  return Recover(dir.get(), QDir::toNativeSeparators(folder), error);
}

FolderOutcome WriteOutputFolder(const QString& folder, const QList<OutputFile>& files,
                                const MayReplaceUsersFiles& mayReplace, QString* error) {
  return WriteOutputFolder(
      folder,
      [&files](const PutFile& put) {
        for (const OutputFile& f : files)
          if (!put(f.name, f.bytes)) return false;
        return true;
      },
      mayReplace, error);
}

FolderOutcome WriteOutputFolder(const QString& folder, const ProduceFiles& produce,
                                const MayReplaceUsersFiles& mayReplace, QString* error) {
  const QByteArray path = filename::ToBytes(folder);
  const QString shown = QDir::toNativeSeparators(folder);
  const auto fail = [&](const QString& why) {
    *error = why;
    return FolderOutcome::Failed;
  };

  struct stat st {};
  bool made = false;
  if (::lstat(path.constData(), &st) != 0) {
    if (errno != ENOENT) return fail(QStringLiteral("%1: %2").arg(shown, Reason(errno)));
    if (!MakeParents(path) || ::mkdir(path.constData(), 0777) != 0)
      return fail(QStringLiteral("Can't create the folder %1: %2").arg(shown, Reason(errno)));
    made = true;
  } else if (S_ISLNK(st.st_mode)) {
    return fail(QStringLiteral("%1 is a symbolic link, not a folder.").arg(shown));
  } else if (!S_ISDIR(st.st_mode)) {
    return fail(QStringLiteral("%1 is a file, not a folder.").arg(shown));
  }
  const Fd dir = OpenFolder(AT_FDCWD, path.constData());
  if (!dir) return fail(QStringLiteral("%1: %2").arg(shown, Reason(errno)));
  // Leaves a folder this write made as it found it: not there.
  struct Unmake {
    const QByteArray& path;
    bool on;
    ~Unmake() {
      if (on) ::rmdir(path.constData());
    }
  } unmake{path, made};

  if (::flock(dir.get(), LOCK_EX | LOCK_NB) != 0) {
    return fail(errno == EWOULDBLOCK
                    ? QStringLiteral("Another build is writing the folder %1; try again when it "
                                     "has ended.")
                          .arg(shown)
                    : QStringLiteral("Can't lock the folder %1: %2").arg(shown, Reason(errno)));
  }
  QString reason;
  if (!Recover(dir.get(), shown, error)) return FolderOutcome::Failed;
  Folders folders(dir.get());
  Manifest previous;
  QByteArray failedList;
  if (!ReadManifest(folders, {}, &previous, &failedList, &reason))
    return fail(QStringLiteral("The list of files %1 can't be read: %2")
                    .arg(shown + QDir::separator() +
                             QDir::toNativeSeparators(filename::FromBytes(failedList)),
                         reason));

  // Each file is staged as soon as it is made, so that none waits in memory for the others.
  FolderChange change(dir.get(), shown);
  if (!change.Begin(path, error)) return FolderOutcome::Failed;
  QByteArrayList names;
  bool staged = true;
  const auto stage = [&](const QString& file, const MakeFile& make) {
    const QByteArray name = filename::ToBytes(file);
    if (!IsPath(name) || BaseOf(name) == kManifestName) {
      *error = QStringLiteral("%1 is no file name of the folder").arg(file);
      return staged = false;
    }
    names.append(name);
    return staged = change.Stage(names.size() - 1, name, make, error);
  };
  const bool produced = produce(PutFile(
      [&](const QString& file, const QByteArray& bytes) {
        return stage(file, [&bytes](const WritePiece& write) { write(View(bytes)); });
      },
      stage));
  if (!produced || !staged) return FolderOutcome::Failed;
  // The names sorted, to find one made twice and to look names up: a hash table of a large
  // folder's tens of thousands would be megabytes while the files are made.
  std::vector<std::string_view> current;
  const auto sortNames = [&] {
    current.clear();
    for (const QByteArray& name : names) current.push_back(View(name));
    std::sort(current.begin(), current.end());
  };
  const auto isCurrent = [&](const QByteArray& name) {
    return std::binary_search(current.begin(), current.end(), View(name));
  };
  sortNames();
  if (const auto twice = std::adjacent_find(current.begin(), current.end());
      twice != current.end())
    return fail(QStringLiteral("%1 is no file name of the folder")
                    .arg(filename::FromBytes(QByteArray(twice->data(), qsizetype(twice->size())))));
  const auto shownPath = [&](const QByteArray& name) {
    return shown + QDir::separator() + QDir::toNativeSeparators(filename::FromBytes(name));
  };

  // The folders the files go into, outer ones first, and those of them that are not there.
  QSet<QByteArray> needed;
  for (const QByteArray& name : names)
    for (const QByteArray& folder : FoldersAbove(name)) needed.insert(folder);
  QByteArrayList folderList(needed.cbegin(), needed.cend());
  std::sort(folderList.begin(), folderList.end());
  QList<Entry> entries;
  QSet<QByteArray> missing;
  for (const QByteArray& folder : folderList) {
    if (isCurrent(folder))
      return fail(QStringLiteral("%1 is both a file and a folder of the build.")
                      .arg(filename::FromBytes(folder)));
    if (missing.contains(FolderOf(folder))) {
      missing.insert(folder);
      continue;
    }
    struct stat old {};
    const int at = folders.At(FolderOf(folder));
    if (at < 0 || (!Exists(at, BaseOf(folder).constData(), &old) && errno != ENOENT))
      return fail(QStringLiteral("%1: %2").arg(shownPath(FolderOf(folder)), Reason(errno)));
    if (!Exists(at, BaseOf(folder).constData(), &old))
      missing.insert(folder);
    else if (S_ISLNK(old.st_mode))
      return fail(QStringLiteral("%1 is a symbolic link; a folder of the build goes there.")
                      .arg(shownPath(folder)));
    else if (!S_ISDIR(old.st_mode))
      return fail(QStringLiteral("%1 is a file; a folder of the build goes there.")
                      .arg(shownPath(folder)));
  }
  for (const QByteArray& folder : folderList)
    if (missing.contains(folder)) entries.append({folder, false, false, true});

  // Each folder's list names the files written into it and the folders below it ("name/"),
  // by views of `names` and `below`: a large folder's tens of thousands are not copied.
  QByteArrayList below;
  for (const QByteArray& folder : folderList) below.append(BaseOf(folder) + '/');
  const auto from = [](const QByteArray& bytes, qsizetype at) {
    return std::string_view(bytes.constData() + at, std::size_t(bytes.size() - at));
  };
  std::map<QByteArray, std::vector<std::string_view>> lists{{QByteArray(), {}}};
  for (const QByteArray& name : names)
    lists[FolderOf(name)].push_back(from(name, name.lastIndexOf('/') + 1));
  for (qsizetype i = 0; i < folderList.size(); ++i) {
    lists[folderList[i]];
    lists[FolderOf(folderList[i])].push_back(from(below[i], 0));
  }
  for (auto& [folder, listed] : lists) {
    std::sort(listed.begin(), listed.end());
    QByteArray text;
    for (std::size_t i = 0; i < listed.size(); ++i) {
      if (i > 0) text += '\n';
      text.append(listed[i].data(), qsizetype(listed[i].size()));
    }
    text += '\n';
    const QByteArray name = Join(folder, kManifestName);
    if (!change.Stage(names.size(), name, text, error)) return FolderOutcome::Failed;
    names.append(name);
  }
  sortNames();
  if (!change.Staged(error)) return FolderOutcome::Failed;

  // What the change touches: the folders it makes, every new name (and what it replaces),
  // the files of an earlier build that are not written again, then its folders that no
  // file goes into now, inner ones first.
  QStringList users;
  for (const QByteArray& name : names) {
    struct stat old {};
    const bool exists = !missing.contains(FolderOf(name)) &&
                        Exists(folders.At(FolderOf(name)), BaseOf(name).constData(), &old);
    if (exists && S_ISDIR(old.st_mode))
      return fail(QStringLiteral("%1 is a folder; a file of the build goes there.")
                      .arg(shownPath(name)));
    if (exists && BaseOf(name) != kManifestName && !previous.files.contains(name))
      users.append(QDir::toNativeSeparators(filename::FromBytes(name)));
    entries.append({name, exists, true});
  }
  QByteArrayList removed(previous.files.cbegin(), previous.files.cend());
  std::sort(removed.begin(), removed.end());
  for (const QByteArray& name : removed) {
    struct stat old {};
    const int at = isCurrent(name) ? -1 : folders.At(FolderOf(name));
    if (at >= 0 && Exists(at, BaseOf(name).constData(), &old) && !S_ISDIR(old.st_mode))
      entries.append({name, true, false});
  }
  QByteArrayList stale;
  for (const QByteArray& folder : previous.folders)
    if (!needed.contains(folder) && folders.At(folder) >= 0) stale.append(folder);
  std::sort(stale.begin(), stale.end(), std::greater<>());
  for (const QByteArray& folder : stale) entries.append({folder, true, false, true});
  if (!users.isEmpty() && !(mayReplace && mayReplace(users))) {
    *error = QStringLiteral("The folder %1 holds files that no earlier build wrote and that "
                            "this build would replace: %2. Move them away, or build into "
                            "another folder; nothing was written.")
                 .arg(shown, users.join(QStringLiteral(", ")));
    return FolderOutcome::UsersFiles;
  }
  {
    const temporaryfiles::SignalHold hold;
    if (!change.Commit(entries, folders, error)) return FolderOutcome::Failed;
  }
  unmake.on = false;
  return FolderOutcome::Written;
}
