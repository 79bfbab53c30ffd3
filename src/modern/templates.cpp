#include "modern/templates.h"

#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <cerrno>
#include <functional>
#include <optional>
#include <kainjow/mustache.hpp>
#include <set>
#include <vector>

#include "text/file_name.h"
#include "text/input_file.h"

struct TemplateSet::Entry {
  QString file;  // where it was read from, named in errors
  bool own;      // from the user's template directory
  std::string text;
  kainjow::mustache::mustache parsed;
  Entry(QString f, bool o, std::string t)
      : file(std::move(f)), own(o), text(std::move(t)), parsed(text) {}
};

namespace {

TemplateLimits g_limits;

// The file's path with every link resolved; empty when it cannot be resolved.
QByteArray RealPath(const QByteArray& path) {
  char resolved[PATH_MAX];
  return ::realpath(path.constData(), resolved) ? QByteArray(resolved) : QByteArray();
}

// Reads a template of the user's: a regular file of at most 16 MiB that lies, links
// followed, inside the template directory. The text, or nullopt with the reason.
std::optional<QByteArray> ReadOwnTemplate(const QString& dir, const QString& path,
                                          QString* reason) {
  const QByteArray real = RealPath(filename::ToBytes(path));
  const QByteArray realDir = RealPath(filename::ToBytes(dir));
  if (real.isEmpty() || realDir.isEmpty()) {
    *reason = inputfile::Reason(errno);
    return std::nullopt;
  }
  if (!real.startsWith(realDir + '/')) {
    *reason = QStringLiteral("It leads out of the template directory, to %1")
                  .arg(filename::FromBytes(real));
    return std::nullopt;
  }
  QByteArray text;
  switch (inputfile::ReadWhole(filename::FromBytes(real), &text, reason)) {
    case inputfile::Status::Opened:
      return text;
    case inputfile::Status::Missing:
      *reason = inputfile::Reason(ENOENT);
      return std::nullopt;
    case inputfile::Status::Failed:
      break;
  }
  return std::nullopt;
}

// The web page includes its style and script by these short names as well.
const std::map<QString, QString>& ShortNames(TemplateFormat format) {
  static const std::map<QString, QString> modern{{"style", "style.css"}, {"script", "script.js"}};
  static const std::map<QString, QString> none;
  return format == TemplateFormat::ModernHtml ? modern : none;
}

// The partial names a template includes, its tags read as the template library reads them:
// each template starts with the {{ }} delimiters, which a tag such as {{=<% %>=}} changes, and
// only with those does {{{ open a tag that }}} closes.
std::vector<std::string> PartialNames(const std::string& text) {
  using kainjow::mustache::trim;
  std::string open = "{{", close = "}}";
  std::vector<std::string> names;
  std::size_t at = 0;
  while ((at = text.find(open, at)) != std::string::npos) {
    std::size_t start = at + open.size();
    const bool triple =
        open == "{{" && close == "}}" && start < text.size() && text[start] == '{';
    if (triple) ++start;
    const std::string end = triple ? "}}}" : close;
    const std::size_t stop = text.find(end, start);
    if (stop == std::string::npos) break;
    const std::string tag = trim(text.substr(start, stop - start));
    at = stop + end.size();
    if (tag.empty()) continue;
    if (tag[0] == '=') {  // "=open close=", valid in a template that parsed
      const std::string pair = trim(tag.substr(1, tag.size() - 2));
      const std::size_t space = pair.find(' ');
      open = pair.substr(0, space);
      close = pair.substr(pair.find_first_not_of(' ', space));
    } else if (!triple && tag[0] == '>') {
      names.push_back(trim(tag.substr(1)));
    }
  }
  return names;
}

}  // namespace

void SetTemplateLimits(const TemplateLimits& limits) { g_limits = limits; }

// The context a rendering looks its names up in, every lookup, section item and include
// counted as a step.
class TemplateSet::CountingContext : public kainjow::mustache::context<std::string> {
 public:
  CountingContext(const kainjow::mustache::data* partials, const TemplateSet& set)
      : context(partials), set_(set) {}
  void push(const kainjow::mustache::data* data) override {
    set_.Step();
    context::push(data);
  }
  const kainjow::mustache::data* get(const std::string& name) const override {
    set_.Step();
    return context::get(name);
  }
  const kainjow::mustache::data* get_partial(const std::string& name) const override {
    set_.Step();
    return context::get_partial(name);
  }

 private:
  const TemplateSet& set_;
};

void TemplateSet::Step() const {
  if (++steps_ > g_limits.steps)
    throw TemplateOverflow(
        QStringLiteral("The templates take more than %1 steps to render this document; a "
                       "template nests its sections or its includes too deep")
            .arg(g_limits.steps));
}

TemplateSet::TemplateSet() = default;
TemplateSet::~TemplateSet() = default;
TemplateSet::TemplateSet(TemplateSet&&) noexcept = default;

QStringList TemplateSet::Names(TemplateFormat format) {
  if (format == TemplateFormat::ModernHtml) {
    return {"page.html",       "table.html",      "view.html",       "unit.html",
            "package.html",    "style.css",       "script.js",       "description.html",
            "signatures.html", "parameters.html", "parameter-notes.html", "uses.html", "triggers.html",
            "doc.html",        "object.html"};
  }
  return {"readme.md", "owner.md", "table.md", "view.md", "unit.md", "package.md"};
}

bool TemplateSet::Load(TemplateFormat format, const QString& overrideDir, QString* error) {
  entries_.clear();
  partials_ = std::make_unique<kainjow::mustache::data>();
  const QString builtIn = format == TemplateFormat::ModernHtml
                              ? QStringLiteral(":/templates/modern/")
                              : QStringLiteral(":/templates/markdown/");
  for (const QString& name : Names(format)) {
    const QString own = overrideDir.isEmpty() ? QString() : QDir(overrideDir).filePath(name);
    struct stat st {};
    const bool overridden = !own.isEmpty() && ::lstat(filename::ToBytes(own).constData(), &st) == 0;
    const QString shown = QDir::toNativeSeparators(overridden ? own : builtIn + name);
    std::optional<QByteArray> text;
    QString reason;
    if (overridden) {
      text = ReadOwnTemplate(overrideDir, own, &reason);
    } else {
      QFile file(builtIn + name);
      if (file.open(QIODevice::ReadOnly))
        text = file.readAll();
      else
        reason = file.errorString();
    }
    if (!text) {
      *error = QStringLiteral("Template %1 can't be read: %2").arg(shown, reason);
      return false;
    }
    auto entry = std::make_unique<Entry>(shown, overridden, text->toStdString());
    if (!entry->parsed.is_valid()) {
      *error = QStringLiteral("Template %1 is not valid: %2")
                   .arg(shown, QString::fromStdString(entry->parsed.error_message()));
      return false;
    }
    partials_->set(name.toStdString(),
                   kainjow::mustache::partial([text = &entry->text] { return *text; }));
    entries_[name] = std::move(entry);
  }
  for (const auto& [shortName, name] : ShortNames(format)) {
    partials_->set(shortName.toStdString(),
                   kainjow::mustache::partial([text = &entries_.at(name)->text] { return *text; }));
  }
  return CheckIncludes(format, error);
}

bool TemplateSet::CheckIncludes(TemplateFormat format, QString* error) const {
  const QStringList names = Names(format);
  std::map<QString, QStringList> includes;
  for (const auto& [name, entry] : entries_) {
    for (const std::string& partial : PartialNames(entry->text)) {
      const QString included = QString::fromStdString(partial);
      const auto shortName = ShortNames(format).find(included);
      if (shortName != ShortNames(format).end()) {
        includes[name].append(shortName->second);
      } else if (names.contains(included)) {
        includes[name].append(included);
      } else {
        QStringList known = names;
        for (const auto& [s, n] : ShortNames(format)) known.append(s);
        *error = QStringLiteral("Template %1 includes \"%2\", which is none of the templates (%3)")
                     .arg(entry->file, included, known.join(QStringLiteral(", ")));
        return false;
      }
    }
  }
  // A template that includes itself, directly or through others, would be rendered without end.
  QStringList path;
  std::set<QString> done;
  std::function<bool(const QString&)> acyclic = [&](const QString& name) {
    if (path.contains(name)) {
      path = path.mid(path.indexOf(name));
      return false;
    }
    if (done.count(name)) return true;
    path.append(name);
    for (const QString& next : includes[name])
      if (!acyclic(next)) return false;
    path.removeLast();
    done.insert(name);
    return true;
  };
  for (const QString& name : names) {
    if (acyclic(name)) continue;
    // The built-in templates include no cycle, so one of the user's closes it: it leads.
    while (!entries_.at(path.first())->own) path.append(path.takeFirst());
    *error = QStringLiteral("Template %1 includes itself: %2")
                 .arg(entries_.at(path.first())->file,
                      (path + QStringList{path.first()}).join(QStringLiteral(" > ")));
    return false;
  }
  return true;
}

kainjow::mustache::mustache& TemplateSet::Template(const QString& name) const {
  return entries_.at(name)->parsed;
}

void TemplateSet::Render(const QString& name, const kainjow::mustache::data& data,
                         std::string& out) const {
  // The partials lie under the values; their names end in a file's extension, as no value's
  // name does, or are the page's style and script, which no value is named either.
  CountingContext context(partials_.get(), *this);
  context.push(&data);
  struct Appender {
    std::string& out;
    const TemplateSet& set;
    Appender& operator<<(const std::string& s) {
      set.bytes_ += qint64(s.size());
      if (set.bytes_ > g_limits.bytes)
        throw TemplateOverflow(
            QStringLiteral("The templates make more than %1 MiB of this document; a template "
                           "nests its sections or its includes too deep")
                .arg(g_limits.bytes >> 20));
      out += s;
      return *this;
    }
  } appender{out, *this};
  Template(name).render(context, appender);
}
