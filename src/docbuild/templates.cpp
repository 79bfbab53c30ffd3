#include "docbuild/templates.h"

#include <QDir>
#include <QFile>
#include <kainjow/mustache.hpp>

struct TemplateSet::Entry {
  std::string text;
  kainjow::mustache::mustache parsed;
  explicit Entry(std::string t) : text(std::move(t)), parsed(text) {}
};

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
    if (!file.open(QIODevice::ReadOnly)) {
      *error = QStringLiteral("Template %1 can't be read: %2")
                   .arg(QDir::toNativeSeparators(file.fileName()), file.errorString());
      return false;
    }
    auto entry = std::make_unique<Entry>(file.readAll().toStdString());
    if (!entry->parsed.is_valid()) {
      *error = QStringLiteral("Template %1 is not valid: %2")
                   .arg(QDir::toNativeSeparators(file.fileName()),
                        QString::fromStdString(entry->parsed.error_message()));
      return false;
    }
    partials_->set(name.toStdString(),
                   kainjow::mustache::partial([text = &entry->text] { return *text; }));
    entries_[name] = std::move(entry);
  }
  return true;
}

kainjow::mustache::mustache& TemplateSet::Template(const QString& name) const {
  return entries_.at(name)->parsed;
}

const std::string& TemplateSet::Text(const QString& name) const {
  return entries_.at(name)->text;
}

void TemplateSet::Render(const QString& name, const kainjow::mustache::data& data,
                         std::string& out) const {
  // The partials lie under the values; their names end in a file's extension, as no value's
  // name does, so no value hides one.
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
