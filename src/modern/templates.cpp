#include "modern/templates.h"

#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <algorithm>
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
  std::string text;      // as written
  std::string rendered;  // with the templates it includes in place (Inlined)
  // None for a text without a tag (the site's style and script), which renders as it is
  // written: parsed, every blank of it would be a part of its own, megabytes in all.
  std::optional<kainjow::mustache::mustache> parsed;
  Entry(QString f, bool o, std::string t) : file(std::move(f)), own(o), text(std::move(t)) {
    Parse(text);
  }
  void Parse(const std::string& t) {
    parsed.reset();
    if (t.find("{{") != std::string::npos) parsed.emplace(t);
  }
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

// The template library ends a parse error with " at N", N a byte offset into the text; a
// user editing the file looks for a line, so the offset becomes "on line L".
QString ParseError(const std::string& message, const std::string& text) {
  const std::size_t at = message.rfind(" at ");
  const std::string digits = at == std::string::npos ? std::string() : message.substr(at + 4);
  if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos)
    return QString::fromStdString(message);
  const std::size_t offset = std::min<std::size_t>(std::stoull(digits), text.size());
  const auto line = std::count(text.begin(), text.begin() + std::ptrdiff_t(offset), '\n') + 1;
  return QStringLiteral("%1 on line %2").arg(QString::fromStdString(message.substr(0, at))).arg(line);
}

// The web page includes its style and script by these short names as well.
const std::map<QString, QString>& ShortNames(TemplateFormat format) {
  static const std::map<QString, QString> modern{{"style", "style.css"}, {"script", "script.js"}};
  static const std::map<QString, QString> none;
  return format == TemplateFormat::ModernHtml ? modern : none;
}

// One tag of a template: where it begins and ends in the text, its trimmed content, whether
// it is a triple-brace {{{ }}} one, and whether the default {{ }} delimiters were in force.
struct Tag {
  std::size_t begin, end;
  std::string content;
  bool triple;
  bool defaultDelimiters;
};

// The tags of a template, read as the template library reads them: each template starts with
// the {{ }} delimiters, which a tag such as {{=<% %>=}} changes, and only with those does {{{
// open a tag that }}} closes.
std::vector<Tag> Tags(const std::string& text) {
  using kainjow::mustache::trim;
  std::string open = "{{", close = "}}";
  std::vector<Tag> tags;
  std::size_t at = 0;
  while ((at = text.find(open, at)) != std::string::npos) {
    const bool defaults = open == "{{" && close == "}}";
    std::size_t start = at + open.size();
    const bool triple = defaults && start < text.size() && text[start] == '{';
    if (triple) ++start;
    const std::string end = triple ? "}}}" : close;
    const std::size_t stop = text.find(end, start);
    if (stop == std::string::npos) break;
    Tag tag{at, stop + end.size(), trim(text.substr(start, stop - start)), triple, defaults};
    at = tag.end;
    if (tag.content.empty()) continue;
    if (tag.content[0] == '=') {  // "=open close=", valid in a template that parsed
      const std::string pair = trim(tag.content.substr(1, tag.content.size() - 2));
      const std::size_t space = pair.find(' ');
      open = pair.substr(0, space);
      close = pair.substr(pair.find_first_not_of(' ', space));
    }
    tags.push_back(std::move(tag));
  }
  return tags;
}

bool IsInclude(const Tag& tag) { return !tag.triple && tag.content[0] == '>'; }
std::string IncludedName(const Tag& tag) { return kainjow::mustache::trim(tag.content.substr(1)); }

// The partial names a template includes.
std::vector<std::string> PartialNames(const std::string& text) {
  std::vector<std::string> names;
  for (const Tag& tag : Tags(text))
    if (IsInclude(tag)) names.push_back(IncludedName(tag));
  return names;
}

bool ChangesDelimiters(const std::string& text) {
  for (const Tag& tag : Tags(text))
    if (tag.content[0] == '=') return true;
  return false;
}

// A template with the templates it includes written in place of their tags, as the
// library would render them: the library parses an included template anew at every
// inclusion, which cost a large document's build a seventh of its time. Left as an include:
// a tag under other delimiters, a template that changes its delimiters (it starts with the
// default ones of its own), and an inclusion that would make the text larger than kMaxInlined
// (templates that include each other many times over; the limits of the rendering hold
// them).
constexpr std::size_t kMaxInlined = std::size_t(1) << 20;

std::string Inlined(const std::string& text,
                    const std::function<const std::string*(const std::string&)>& included) {
  std::string out;
  std::size_t copied = 0;
  for (const Tag& tag : Tags(text)) {
    if (!IsInclude(tag) || !tag.defaultDelimiters) continue;
    const std::string* body = included(IncludedName(tag));
    if (!body || ChangesDelimiters(*body) ||
        out.size() + body->size() + (text.size() - copied) > kMaxInlined)
      continue;
    out.append(text, copied, tag.begin - copied);
    out += *body;
    copied = tag.end;
  }
  out.append(text, copied, std::string::npos);
  return out;
}

}  // namespace

void SetTemplateLimits(const TemplateLimits& limits) { g_limits = limits; }

DeferredValues::Value DeferredValues::List(std::size_t count,
                                           std::function<Value(std::size_t)> item) {
  Value list(Value::type::list);
  if (count == 0) return list;
  // Each item stands in as `false`, which costs no allocation; its place says which it is.
  auto& items = const_cast<kainjow::mustache::basic_list<std::string>&>(list.list_value());
  items.reserve(count);
  for (std::size_t n = 0; n < count; ++n) items.emplace_back(false);
  lists_[items.data()] = {count, std::move(item)};
  return list;
}

std::unique_ptr<DeferredValues::Value> DeferredValues::Made(const Value* entered) const {
  auto it = lists_.upper_bound(entered);
  if (it == lists_.begin()) return nullptr;
  --it;
  const auto n = std::size_t(entered - it->first);
  if (n >= it->second.count) return nullptr;
  return std::make_unique<Value>(it->second.item(n));
}

// The context a rendering looks its names up in, every lookup, section item and include
// counted as a step. An item of a deferred list is made as it is entered and kept while
// inside it.
class TemplateSet::CountingContext : public kainjow::mustache::context<std::string> {
 public:
  CountingContext(const kainjow::mustache::data* partials, const TemplateSet& set,
                  const DeferredValues* deferred)
      : context(partials), set_(set), deferred_(deferred) {}
  void push(const kainjow::mustache::data* data) override {
    set_.Step();
    made_.push_back(deferred_ ? deferred_->Made(data) : nullptr);
    context::push(made_.back() ? made_.back().get() : data);
  }
  void pop() override {
    context::pop();
    made_.pop_back();
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
  const DeferredValues* deferred_;
  std::vector<std::unique_ptr<kainjow::mustache::data>> made_;  // per entered value
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
            "doc.html",        "object.html",     "list.html",       "entries.html"};
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
    if (entry->parsed && !entry->parsed->is_valid()) {
      *error = QStringLiteral("Template %1 is not valid: %2")
                   .arg(shown, ParseError(entry->parsed->error_message(), entry->text));
      return false;
    }
    entries_[name] = std::move(entry);
  }
  if (!CheckIncludes(format, error)) return false;

  // Includes are acyclic now, so each template's included ones are inlined before it.
  std::set<QString> inlined;
  std::function<const std::string*(const std::string&)> included =
      [&](const std::string& partial) -> const std::string* {
    QString name = QString::fromStdString(partial);
    if (const auto shortName = ShortNames(format).find(name); shortName != ShortNames(format).end())
      name = shortName->second;
    Entry& entry = *entries_.at(name);
    if (inlined.insert(name).second) entry.rendered = Inlined(entry.text, included);
    return &entry.rendered;
  };
  const auto partial = [](const std::string* text) {
    return kainjow::mustache::partial([text] { return *text; });
  };
  for (const QString& name : Names(format)) {
    Entry& entry = *entries_.at(name);
    const std::string* rendered = included(name.toStdString());
    entry.Parse(*rendered);
    // Each piece parsed on its own, so together they parse; should they not, the template is
    // rendered as written, its includes parsed as they come.
    if (entry.parsed && !entry.parsed->is_valid()) {
      entry.rendered = entry.text;
      entry.Parse(entry.text);
    }
    partials_->set(name.toStdString(), partial(rendered));
  }
  for (const auto& [shortName, name] : ShortNames(format))
    partials_->set(shortName.toStdString(), partial(&entries_.at(name)->rendered));
  return true;
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

void TemplateSet::SetEscape(const std::function<std::string(const std::string&)>& escape) const {
  for (const auto& [name, entry] : entries_)
    if (entry->parsed) entry->parsed->set_custom_escape(escape);
}

void TemplateSet::Render(const QString& name, const kainjow::mustache::data& data,
                         std::string& out, const DeferredValues* deferred) const {
  Render(name, data, [&out](const std::string& s) { out += s; }, deferred);
}

void TemplateSet::Render(const QString& name, const kainjow::mustache::data& data,
                         const std::function<void(const std::string&)>& put,
                         const DeferredValues* deferred) const {
  // The partials lie under the values; their names end in a file's extension, as no value's
  // name does, or are the page's style and script, which no value is named either.
  CountingContext context(partials_.get(), *this, deferred);
  context.push(&data);
  struct Appender {
    const std::function<void(const std::string&)>& put;
    const TemplateSet& set;
    Appender& operator<<(const std::string& s) {
      set.bytes_ += qint64(s.size());
      if (set.bytes_ > g_limits.bytes)
        throw TemplateOverflow(
            QStringLiteral("The templates make more than %1 MiB of this document; a template "
                           "nests its sections or its includes too deep")
                .arg(g_limits.bytes >> 20));
      put(s);
      return *this;
    }
  } appender{put, *this};
  Entry& entry = *entries_.at(name);
  if (entry.parsed)
    entry.parsed->render(context, appender);
  else
    appender << entry.rendered;
}
