#include "docbuild/templates.h"

#include <QDir>
#include <QFile>
#include <functional>
#include <kainjow/mustache.hpp>
#include <set>
#include <vector>

struct TemplateSet::Entry {
  QString file;  // where it was read from, named in errors
  bool own;      // from the user's template directory
  std::string text;
  kainjow::mustache::mustache parsed;
  Entry(QString f, bool o, std::string t)
      : file(std::move(f)), own(o), text(std::move(t)), parsed(text) {}
};

namespace {

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

TemplateSet::TemplateSet() = default;
TemplateSet::~TemplateSet() = default;
TemplateSet::TemplateSet(TemplateSet&&) noexcept = default;

QStringList TemplateSet::Names(TemplateFormat format) {
  if (format == TemplateFormat::ModernHtml) {
    return {"page.html",       "table.html",      "view.html",       "unit.html",
            "package.html",    "style.css",       "script.js",       "description.html",
            "signatures.html", "parameters.html", "parameter-notes.html"};
  }
  return {"readme.md", "table.md", "view.md", "unit.md", "package.md"};
}

bool TemplateSet::Load(TemplateFormat format, const QString& overrideDir, QString* error) {
  entries_.clear();
  partials_ = std::make_unique<kainjow::mustache::data>();
  const QString builtIn = format == TemplateFormat::ModernHtml
                              ? QStringLiteral(":/templates/modern/")
                              : QStringLiteral(":/templates/markdown/");
  for (const QString& name : Names(format)) {
    const QString own = overrideDir.isEmpty() ? QString() : QDir(overrideDir).filePath(name);
    const bool overridden = !own.isEmpty() && QFile::exists(own);
    QFile file(overridden ? own : builtIn + name);
    const QString shown = QDir::toNativeSeparators(file.fileName());
    if (!file.open(QIODevice::ReadOnly)) {
      *error = QStringLiteral("Template %1 can't be read: %2").arg(shown, file.errorString());
      return false;
    }
    auto entry = std::make_unique<Entry>(shown, overridden, file.readAll().toStdString());
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
  kainjow::mustache::context<std::string> context(partials_.get());
  context.push(&data);
  struct Appender {
    std::string& out;
    Appender& operator<<(const std::string& s) {
      out += s;
      return *this;
    }
  } appender{out};
  Template(name).render(context, appender);
}
