#pragma once
// The templates a modern format is rendered from: kept with the program as resources, each
// replaceable by a file of the same name in the user's template directory (the Template_dir
// setting, or vellumar-build --template DIR), for example to add a logo or a style.
//
// Templates are Mustache text (UTF-8). Rendered with Render, a template includes any other of
// its format by file name ({{> signatures.html}}), so pieces the object templates share are
// written, and replaced, once. A template the user gives that does not parse, includes a name
// that is no template, or includes itself (directly or through others) is an error of the
// build that names the file; nothing is written then.

#include <QString>
#include <QStringList>
#include <map>
#include <memory>
#include <string>

namespace kainjow::mustache {
template <typename string_type>
class basic_mustache;
template <typename string_type>
class basic_data;
}

enum class TemplateFormat { ModernHtml, Markdown };

class TemplateSet {
 public:
  // The names of a format's templates (the file names a template directory may hold).
  static QStringList Names(TemplateFormat format);

  // Loads every template of `format`, each from `overrideDir` when it holds a file of its
  // name, else the built-in one. False with the reason in *error.
  bool Load(TemplateFormat format, const QString& overrideDir, QString* error);

  // The parsed template; it must be one of the format's names.
  kainjow::mustache::basic_mustache<std::string>& Template(const QString& name) const;
  // Appends template `name` rendered with `data`, the format's templates its partials.
  void Render(const QString& name, const kainjow::mustache::basic_data<std::string>& data,
              std::string& out) const;

  TemplateSet();
  ~TemplateSet();
  TemplateSet(TemplateSet&&) noexcept;

 private:
  struct Entry;
  // False, with the reason, when a template includes a name that is no template of `format`
  // or includes itself: rendering would never end.
  bool CheckIncludes(TemplateFormat format, QString* error) const;

  std::map<QString, std::unique_ptr<Entry>> entries_;
  std::unique_ptr<kainjow::mustache::basic_data<std::string>> partials_;  // by file name
};
