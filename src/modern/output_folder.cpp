#include "modern/output_folder.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QSet>
#include <algorithm>
#include <cerrno>
#include <utility>

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

// A name inside the folder: one file name, never a path out of it, nor the staging folder.
bool IsFileName(const QByteArray& name) {
  return !name.isEmpty() && name != "." && name != ".." && !name.contains('/') &&
         !name.contains('\0') && !name.contains('\n') && name != kStaging;
}

// One name the change touches: whether a file was there before, and whether a new one goes
// there (a name with an old file and no new one is a file of an earlier build removed).
struct Entry {
  QByteArray name;
  bool old = false;
  bool fresh = false;
};

QByteArray JournalText(const QList<Entry>& entries) {
  QByteArray text;
  for (const Entry& e : entries)
    text += QByteArray(e.old ? "o" : "-") + (e.fresh ? "n " : "- ") + e.name + '\n';
  return text + kJournalEnd + '\n';
}

bool ParseJournal(const QByteArray& text, QList<Entry>* entries) {
  QByteArrayList lines = text.split('\n');
  if (lines.size() < 2 || lines.takeLast() != "" || lines.takeLast() != kJournalEnd) return false;
  for (const QByteArray& line : lines) {
    if (line.size() < 4 || line[2] != ' ') return false;
    const Entry e{line.mid(3), line[0] == 'o', line[1] == 'n'};
    if (!IsFileName(e.name)) return false;
    entries->append(e);
  }
  return true;
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

// The names an earlier build listed. A list that names itself or the staging folder names
// nothing there.
bool ReadManifest(int dirFd, QSet<QByteArray>* names, QString* reason) {
  QByteArray text;
  bool missing = false;
  if (!ReadListFile(dirFd, kManifestName, &text, &missing, reason)) return false;
  for (const QByteArray& line : text.split('\n')) {
    const QByteArray name = line.trimmed();
    if (IsFileName(name) && name != kManifestName) names->insert(name);
  }
  return true;
}

// Puts each entry's old file back, or takes away the new file of a name that had none,
// last first. False with the errno of the first failure.
bool RollBack(int dirFd, int stageFd, const QList<Entry>& entries, int* error) {
  const Fd oldFolder = OpenFolder(stageFd, kOldDir);
  const Fd newFolder = OpenFolder(stageFd, kNewDir);
  bool ok = true;
  for (auto e = entries.crbegin(); e != entries.crend(); ++e) {
    const char* name = e->name.constData();
    int result = 0;
    if (e->old && oldFolder && Exists(oldFolder.get(), name))
      result = ::renameat(oldFolder.get(), name, dirFd, name);
    else if (!e->old && e->fresh && !(newFolder && Exists(newFolder.get(), name)))
      result = ::unlinkat(dirFd, name, 0) != 0 && errno != ENOENT ? -1 : 0;
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
      int failure = 0;
      if (!ParseJournal(text, &entries)) {
        *error = QStringLiteral("The journal of an interrupted build in %1 is damaged; put the "
                                "files back by hand and remove it")
                     .arg(staging);
        return false;
      }
      if (!RollBack(dirFd, stage.get(), entries, &failure)) {
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

bool WriteAll(int fd, const QByteArray& bytes, int* error) {
  for (qsizetype at = 0; at < bytes.size();) {
    const ssize_t put = ::write(fd, bytes.constData() + at, bytes.size() - at);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) {
      *error = put < 0 ? errno : EIO;
      return false;
    }
    at += put;
  }
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

  // Writes one file into new/.
  bool Stage(const QByteArray& name, const QByteArray& bytes, QString* error) {
    int failure = 0;
    const Fd fd(::openat(fresh_.get(), name.constData(),
                         O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
    if (!fd || !WriteAll(fd.get(), bytes, &failure))
      return Failed(name, fd ? failure : errno, error);
    killpoint::Reach("folder.staged");
    return true;
  }

  // Everything staged reaches the disk before the first rename.
  bool Staged(QString* error) {
    if (::syncfs(dirFd_) != 0) return Failed(kStaging, errno, error);
    return true;
  }

  // Renames the new files over their names and takes away the earlier build's files that
  // `entries` list without a new one. On a failure the old files are put back.
  bool Commit(const QList<Entry>& entries, QString* error) {
    if (::mkdirat(stage_.get(), kOldDir, 0700) != 0) return Failed(kStaging, errno, error);
    const Fd old = OpenFolder(stage_.get(), kOldDir);
    const Fd fresh = OpenFolder(stage_.get(), kNewDir);
    if (!old || !fresh) return Failed(kStaging, errno, error);
    if (!WriteJournal(entries, error)) return false;
    for (const Entry& e : entries) {
      const char* name = e.name.constData();
      // The old file is kept by a second name, so its name is never empty; where the file
      // system has no hard links, it is moved.
      if (e.old && ::linkat(dirFd_, name, old.get(), name, 0) != 0 &&
          ::renameat(dirFd_, name, old.get(), name) != 0 && errno != ENOENT)
        return Undo(entries, e.name, errno, error);
      if (e.fresh && ::renameat(fresh.get(), name, dirFd_, name) != 0)
        return Undo(entries, e.name, errno, error);
      if (!e.fresh && ::unlinkat(dirFd_, name, 0) != 0 && errno != ENOENT)
        return Undo(entries, e.name, errno, error);
      killpoint::Reach("folder.renamed");
    }
    ::fsync(dirFd_);
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
    if (!fd || !WriteAll(fd.get(), JournalText(entries), &failure) || ::fsync(fd.get()) != 0 ||
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
    if (!RollBack(dirFd_, stage_.get(), entries, &undoFailure)) {
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
    return shown_ + QDir::separator() + filename::FromBytes(name);
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
  const Fd dir = OpenFolder(AT_FDCWD, filename::ToBytes(folder).constData());
  if (!dir) return errno == ENOENT || errno == ENOTDIR;
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
  QSet<QByteArray> previous;
  if (!ReadManifest(dir.get(), &previous, &reason))
    return fail(QStringLiteral("The list of files %1 can't be read: %2")
                    .arg(shown + QDir::separator() + QLatin1String(kManifestName), reason));

  // Each file is staged as soon as it is made, so that none waits in memory for the others.
  FolderChange change(dir.get(), shown);
  if (!change.Begin(path, error)) return FolderOutcome::Failed;
  QByteArrayList names;
  QSet<QByteArray> current;
  bool staged = true;
  const bool produced = produce([&](const QString& file, const QByteArray& bytes) {
    const QByteArray name = filename::ToBytes(file);
    if (!IsFileName(name) || name == kManifestName || current.contains(name)) {
      *error = QStringLiteral("%1 is no file name of the folder").arg(file);
      return staged = false;
    }
    names.append(name);
    current.insert(name);
    return staged = change.Stage(name, bytes, error);
  });
  if (!produced || !staged) return FolderOutcome::Failed;
  std::sort(names.begin(), names.end());
  if (!change.Stage(kManifestName, names.join('\n') + '\n', error) || !change.Staged(error))
    return FolderOutcome::Failed;
  names.append(kManifestName);
  current.insert(kManifestName);

  // What the change touches: every new name (and what it replaces), then the files of an
  // earlier build that are not written again.
  QList<Entry> entries;
  QStringList users;
  for (const QByteArray& name : names) {
    struct stat old {};
    const bool exists = Exists(dir.get(), name.constData(), &old);
    if (exists && S_ISDIR(old.st_mode))
      return fail(QStringLiteral("%1 is a folder; a file of the build goes there.")
                      .arg(shown + QDir::separator() + filename::FromBytes(name)));
    if (exists && name != kManifestName && !previous.contains(name))
      users.append(filename::FromBytes(name));
    entries.append({name, exists, true});
  }
  QByteArrayList removed(previous.cbegin(), previous.cend());
  std::sort(removed.begin(), removed.end());
  for (const QByteArray& name : removed) {
    struct stat old {};
    if (!current.contains(name) && Exists(dir.get(), name.constData(), &old) &&
        !S_ISDIR(old.st_mode))
      entries.append({name, true, false});
  }
  if (!users.isEmpty() && !(mayReplace && mayReplace(users))) {
    *error = QStringLiteral("The folder %1 holds files that no earlier build wrote and that "
                            "this build would replace: %2. Move them away, or build into "
                            "another folder; nothing was written.")
                 .arg(shown, users.join(QStringLiteral(", ")));
    return FolderOutcome::UsersFiles;
  }
  {
    const temporaryfiles::SignalHold hold;
    if (!change.Commit(entries, error)) return FolderOutcome::Failed;
  }
  unmake.on = false;
  return FolderOutcome::Written;
}
