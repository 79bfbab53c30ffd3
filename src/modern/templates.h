#pragma once
// The templates a modern format is rendered from: kept with the program as resources, each
// replaceable by a file of the same name in the user's template directory (the Template_dir
// setting, or vellumar-build --template DIR), for example to add a logo or a style.
//
// Templates are Mustache text (UTF-8). Rendered with Render, a template includes any other of
// its format by file name ({{> signatures.html}}), so pieces the object templates share are
// written, and replaced, once. A template the user gives that does not parse, includes a name
// that is no template, or includes itself (directly or through others) is an error of the
// build that names the file; nothing is written then. So is a template file of the user's
// that is not a regular file, is larger than 16 MiB, or is a link that leads out of the
// template directory (a template is published in the document).
//
// Rendering is bounded: a template that nests its sections or its includes so deep that it
// would run for hours (sections twelve deep, each template including the next ten times)
// stops the build at TemplateLimits, far beyond what any document of ours needs.

#include <QString>
#include <QStringList>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>

namespace kainjow::mustache {
template <typename string_type>
class basic_mustache;
template <typename string_type>
class basic_data;
}

enum class TemplateFormat { ModernHtml, Markdown };

// Lists whose items are made only when a rendering enters them, and dropped when it leaves:
// the contents of a large document (tens of thousands of entries) are then never held
// whole, while a template sees them as any other list.
class DeferredValues {
 public:
  using Value = kainjow::mustache::basic_data<std::string>;
  // A list of `count` items, the n-th made by `item(n)` when entered. The list stands for
  // them until the rendering ends, moved wherever it goes (SetData, AppendData); a copy is
  // a list of stand-ins.
  Value List(std::size_t count, std::function<Value(std::size_t)> item);
  // The item `entered` stands for, made; nullptr when it is an ordinary value.
  std::unique_ptr<Value> Made(const Value* entered) const;

 private:
  struct Items {
    std::size_t count;
    std::function<Value(std::size_t)> item;
  };
  std::map<const Value*, Items> lists_;  // by the address of the first item
};

// What the renderings of one build may cost: steps (a name looked up, a section's item
// entered, a template included) and bytes of output (the web site's objects count twice, as
// they are rendered and then placed in their pages). The built-in templates take 6 million
// steps and 650 MiB for a site of 30,000 objects; a step costs up to a microsecond.
struct TemplateLimits {
  qint64 steps = 50000000;
  qint64 bytes = qint64(2) << 30;
};
// Tests lower the limits to reach them quickly.
void SetTemplateLimits(const TemplateLimits& limits);

// Thrown by Render when the renderings pass a limit.
class TemplateOverflow {
 public:
  explicit TemplateOverflow(QString message) : message_(std::move(message)) {}
  const QString& Message() const { return message_; }

 private:
  QString message_;
};

class TemplateSet {
 public:
  // The names of a format's templates (the file names a template directory may hold).
  static QStringList Names(TemplateFormat format);

  // Loads every template of `format`, each from `overrideDir` when it holds a file of its
  // name, else the built-in one. False with the reason in *error.
  bool Load(TemplateFormat format, const QString& overrideDir, QString* error);

  // Every template escapes the values it shows with `escape` (the format's syntax).
  void SetEscape(const std::function<std::string(const std::string&)>& escape) const;
  // Appends template `name` rendered with `data`, the format's templates its partials, and
  // `deferred` making what the data's placeholders stand for.
  // Throws TemplateOverflow when this set's renderings together pass the limits.
  void Render(const QString& name, const kainjow::mustache::basic_data<std::string>& data,
              std::string& out, const DeferredValues* deferred = nullptr) const;
  // The same, handing the output to `put` a line at a time as it is made.
  void Render(const QString& name, const kainjow::mustache::basic_data<std::string>& data,
              const std::function<void(const std::string&)>& put,
              const DeferredValues* deferred = nullptr) const;

  TemplateSet();
  ~TemplateSet();
  TemplateSet(TemplateSet&&) noexcept;

 private:
  struct Entry;
  // False, with the reason, when a template includes a name that is no template of `format`
  // or includes itself: rendering would never end.
  bool CheckIncludes(TemplateFormat format, QString* error) const;

  class CountingContext;
  void Step() const;

  std::map<QString, std::unique_ptr<Entry>> entries_;
  mutable qint64 steps_ = 0;
  mutable qint64 bytes_ = 0;
  std::unique_ptr<kainjow::mustache::basic_data<std::string>> partials_;  // by file name
};
