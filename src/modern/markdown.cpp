#include "modern/markdown.h"

#include <QHash>
#include <algorithm>
#include <cctype>
#include <kainjow/mustache.hpp>
#include <optional>
#include <string_view>

#include "diagrams/diagrams.h"
#include "model/document_model.h"
#include "modern/document_view.h"
#include "modern/templates.h"

namespace {

bool StartsWithNoCase(const std::string& text, std::size_t at, std::string_view prefix) {
  if (text.size() - at < prefix.size()) return false;
  for (std::size_t k = 0; k < prefix.size(); ++k)
    if (std::tolower(static_cast<unsigned char>(text[at + k])) != prefix[k]) return false;
  return true;
}

// The length of the web address at `at`, as a Git host's Markdown would link it: up to a
// blank or "<" or ">", without the punctuation that ends a sentence or an unmatched ")".
std::size_t WebAddressAt(const std::string& text, std::size_t at) {
  if (at > 0 && std::isalnum(static_cast<unsigned char>(text[at - 1]))) return 0;
  std::size_t scheme = StartsWithNoCase(text, at, "https://") ? 8
                       : StartsWithNoCase(text, at, "http://") ? 7 : 0;
  if (scheme == 0) return 0;
  std::size_t end = at + scheme;
  while (end < text.size() && !std::isspace(static_cast<unsigned char>(text[end])) &&
         text[end] != '<' && text[end] != '>' && text[end] != '"')
    ++end;
  for (;;) {
    const char last = text[end - 1];
    if (std::string_view(".,:;!?*_~'").find(last) != std::string_view::npos) {
      --end;
    } else if (last == ')' && std::count(text.begin() + std::ptrdiff_t(at),
                                         text.begin() + std::ptrdiff_t(end), '(') <
                                  std::count(text.begin() + std::ptrdiff_t(at),
                                             text.begin() + std::ptrdiff_t(end), ')')) {
      --end;
    } else {
      break;
    }
  }
  return end > at + scheme ? end - at : 0;
}

}  // namespace

std::string EscapeMarkdown(const std::string& text) {
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  // A value's start may be a line's start: a list marker, heading or rule there is escaped.
  std::size_t i = 0;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') out += text[i++];
  if (i > 0 && i < text.size() && (text[i] == '.' || text[i] == ')')) out += '\\';
  if (i == 0 && !text.empty() && (text[0] == '-' || text[0] == '+' || text[0] == '='))
    out += '\\';
  for (; i < text.size(); ++i) {
    // A web address would be linked with the backslashes of its escapes in it: it goes in
    // "<>" instead, where nothing is markup. A "|" would still part a table's cells, and
    // its escape would show in a paragraph: it is written as the address's %7C.
    if (const std::size_t length = WebAddressAt(text, i)) {
      out += '<';
      for (std::size_t k = i; k < i + length; ++k) {
        if (text[k] == '|') out += "%7C";
        else out += text[k];
      }
      out += '>';
      i += length - 1;
      continue;
    }
    // "www." would be linked too: its dot escaped, it stays text.
    if (StartsWithNoCase(text, i, "www.") &&
        (i == 0 || !std::isalnum(static_cast<unsigned char>(text[i - 1])))) {
      out.append(text, i, 3);
      out += "\\.";
      i += 3;
      continue;
    }
    const char c = text[i];
    switch (c) {
      case '\\': case '`': case '*': case '_': case '[': case ']': case '<': case '>':
      case '#': case '|': case '~': case '&': case '$':
        out += '\\';
        out += c;
        break;
      case '\r':
        break;
      case '\n':
        out += "<br>";
        break;
      default:
        out += c;
    }
  }
  return out;
}

namespace {

namespace mustache = kainjow::mustache;

std::string S(const QString& text) { return text.toStdString(); }

// The files of an object: at most its page and its drawing.
constexpr int kObjectFiles = 2;

// The objects of a section that have pages of their own: their keys and anchors.
struct Page {
  const ObjectKey* key;
  const QString* anchor;
};

QList<Page> Pages(const DocumentModel& model, SectionKind kind) {
  QList<Page> pages;
  const auto add = [&pages](const auto& objects) {
    for (const auto& o : objects) pages.append({&o.key, &o.anchor});
  };
  switch (kind) {
    case SectionKind::Tables: add(model.tables); break;
    case SectionKind::Views: add(model.views); break;
    case SectionKind::Units: add(model.units); break;
    case SectionKind::Packages: add(model.packages); break;
    default: break;
  }
  return pages;
}

QString OwnerLabel(const ObjectKey& key) { return key.database + u'.' + key.owner; }

QString PagePath(const FileLayout& layout, const QString& anchor, const QString& extension) {
  return layout.Folder(anchor) + u'/' + ObjectFileName(anchor, extension);
}

// One owner's objects by section, as its index pages list them.
struct OwnerPages {
  QString label;  // DATABASE.OWNER
  QString folder;
  QList<std::pair<SectionKind, QList<Page>>> sections;
};

QList<OwnerPages> Owners(const DocumentModel& model) {
  QList<OwnerPages> owners;
  QHash<QString, qsizetype> at;
  for (const SectionKind kind : model.sections)
    for (const Page& p : Pages(model, kind)) {
      const QString folder = FileLayout::OwnerFolder(*p.anchor);
      if (!at.contains(folder)) {
        at.insert(folder, owners.size());
        owners.append({OwnerLabel(*p.key), folder, {}});
      }
      auto& sections = owners[at.value(folder)].sections;
      if (sections.isEmpty() || sections.last().first != kind) sections.append({kind, {}});
      sections.last().second.append(p);
    }
  return owners;
}

// The sections of an index page, each with its objects that `keep` keeps, linked from a page
// in an owner's folder; or, with `parts`, the runs of its objects in each numbered folder.
mustache::data IndexSections(const OwnerPages& owner, const DocumentView& view,
                             const FileLayout& layout, const QStringList& parts,
                             const std::function<bool(const Page&)>& keep) {
  mustache::data sections(mustache::data::type::list);
  for (const auto& [kind, pages] : owner.sections) {
    const QString anchor = DocumentView::SectionAnchor(kind);
    mustache::data items(mustache::data::type::list);
    mustache::data runs(mustache::data::type::list);
    for (qsizetype i = 0; i < pages.size(); ++i) {
      const Page& p = pages[i];
      if (!parts.isEmpty()) {
        const QString folder = layout.Folder(*p.anchor);
        qsizetype last = i;
        while (last + 1 < pages.size() && layout.Folder(*pages[last + 1].anchor) == folder) ++last;
        mustache::data run;
        run.set("number", std::to_string(parts.indexOf(folder) + 1));
        run.set("href", S(QStringLiteral("../") + folder.section(u'/', 1) +
                          QStringLiteral("/README.md#") + anchor));
        run.set("first", S(p.key->name));
        run.set("last", S(pages[last].key->name));
        run.set("count", std::to_string(last - i + 1));
        AppendData(runs, std::move(run));
        i = last;
        continue;
      }
      if (!keep(p)) continue;
      mustache::data item;
      item.set("name", S(p.key->name));
      item.set("href", S(view.ObjectHref(*p.anchor)));
      item.set("changed", !view.ChangedSince(*p.anchor).isEmpty());
      AppendData(items, std::move(item));
    }
    if (items.is_empty_list() && runs.is_empty_list()) continue;
    mustache::data section;
    section.set("title", S(SectionTitle(kind)));
    section.set("anchor", S(anchor));
    SetData(section, "items", std::move(items));
    SetData(section, "parts", std::move(runs));
    AppendData(sections, std::move(section));
  }
  return sections;
}

// The owner's overview on its page: its drawing, or why there is none.
mustache::data OverviewData(const OwnerOverview& o) {
  mustache::data d;
  d.set("tables", std::to_string(o.tables));
  d.set("limit", std::to_string(kOverviewTableLimit));
  d.set("note", o.note.isEmpty() ? mustache::data(false) : mustache::data(S(o.note)));
  if (o.svg.empty()) {
    d.set("diagram", false);
  } else {
    mustache::data diagram;
    diagram.set("file", S(ObjectFileName(o.anchor, QStringLiteral(".svg"))));
    d.set("diagram", diagram);
  }
  return d;
}

// A rendered page as its file holds it: a section a template leaves empty leaves its blank
// lines, and a run of them reads as one in Markdown but makes the file hard to read and
// to diff, so each run outside a fenced block of code becomes one; blank lines at the
// start go. Inside a fence every line is the code's own.
QByteArray MarkdownFile(const std::string& page) {
  QByteArray out;
  out.reserve(qsizetype(page.size()));
  char fence = 0;           // '`' or '~' while inside a fenced block
  std::size_t fenceLength = 0;
  bool blank = true;        // the last line written was blank (or nothing was written)
  std::size_t start = 0;
  while (start < page.size()) {
    std::size_t end = page.find('\n', start);
    end = end == std::string::npos ? page.size() : end + 1;
    const std::string_view line(page.data() + start, end - start);
    start = end;
    const std::size_t indent = std::min(line.find_first_not_of(' '), line.size());
    const char c = indent < 4 && indent < line.size() ? line[indent] : 0;
    std::size_t run = 0;
    if (c == '`' || c == '~')
      while (indent + run < line.size() && line[indent + run] == c) ++run;
    if (!fence && run >= 3) {
      fence = c;
      fenceLength = run;
    } else if (fence && c == fence && run >= fenceLength &&
               line.find_first_not_of(" \r\n", indent + run) == std::string_view::npos) {
      fence = 0;
    } else if (!fence && line.find_first_not_of(" \r\n") == std::string_view::npos) {
      if (blank) continue;
      blank = true;
      out.append('\n');
      continue;
    }
    blank = false;
    out.append(line.data(), qsizetype(line.size()));
  }
  return out;
}

// The README.md of an owner's folder, and of each of its numbered folders.
bool PutOwnerPages(const OwnerPages& owner, const FileLayout& layout, const DocumentView& view,
                   const DiagramSource& diagrams, const TemplateSet& templates,
                   const PutFile& put) {
  const QStringList parts = layout.Parts(owner.folder);
  const auto render = [&](const QString& folder, const mustache::data& data) {
    std::string page;
    templates.Render(QStringLiteral("owner.md"), data, page);
    return put(folder + QStringLiteral("/README.md"), MarkdownFile(page));
  };
  mustache::data d;
  d.set("label", S(owner.label));
  d.set("part", false);
  d.set("overview", false);
  for (const OwnerOverview& o : diagrams.Overviews())
    if (FileLayout::OwnerFolder(o.anchor) == owner.folder) d.set("overview", OverviewData(o));
  SetData(d, "sections",
          IndexSections(owner, view, layout, parts, [](const Page&) { return true; }));
  if (!render(owner.folder, d)) return false;
  for (qsizetype i = 0; i < parts.size(); ++i) {
    mustache::data part;
    part.set("number", std::to_string(i + 1));
    part.set("count", std::to_string(parts.size()));
    part.set("owner", S(QStringLiteral("../") + owner.folder.section(u'/', 1) +
                        QStringLiteral("/README.md")));
    d.set("part", part);
    d.set("overview", false);
    SetData(d, "sections", IndexSections(owner, view, layout, {}, [&](const Page& p) {
            return layout.Folder(*p.anchor) == parts[i];
          }));
    if (!render(parts[i], d)) return false;
  }
  return true;
}

// The README's data: the title block, contents and sections, each section of objects with
// its owners and a link to each owner's list of them rather than every object.
mustache::data ReadmeData(const DocumentModel& model, const DocumentView& view,
                          const QList<OwnerPages>& owners, DeferredValues& deferred) {
  mustache::data d = view.PageData([](SectionKind) { return std::string(); }, deferred);
  // The sections are completed where they are: a copy of them would copy the whole contents
  // they hold, tens of megabytes for a large project.
  auto& sections = const_cast<mustache::basic_list<std::string>&>(d.get("sections")->list_value());
  for (qsizetype i = 0; i < model.sections.size(); ++i) {
    mustache::data links(mustache::data::type::list);
    for (const OwnerPages& owner : owners)
      for (const auto& [kind, pages] : owner.sections)
        if (kind == model.sections[i]) {
          mustache::data link;
          link.set("label", S(owner.label));
          link.set("href", S(owner.folder + QStringLiteral("/README.md#") +
                             DocumentView::SectionAnchor(kind)));
          link.set("count", std::to_string(pages.size()));
          AppendData(links, std::move(link));
        }
    SetData(sections[i], "hasOwners", !links.is_empty_list());
    SetData(sections[i], "owners", std::move(links));
  }
  return d;
}

}  // namespace

FileLayout MarkdownLayout(const DocumentModel& model) {
  QList<std::pair<QString, int>> objects;
  for (const SectionKind kind : model.sections)
    for (const Page& p : Pages(model, kind)) objects.append({*p.anchor, kObjectFiles});
  return FileLayout(objects);
}

Links MarkdownLinks(const FileLayout& layout) {
  return Links(LinkStyle::Files, &layout, QStringLiteral("../../"));
}

bool RenderMarkdown(const DocumentModel& model, const TemplateSet& templates,
                    const DiagramSource& diagrams, const PutFile& put,
                    const ObjectStream* objects, const FileLayout* given) {
  templates.SetEscape(EscapeMarkdown);
  std::optional<FileLayout> made;
  if (!given) made.emplace(MarkdownLayout(model));
  const FileLayout& layout = given ? *given : *made;
  const QList<OwnerPages> owners = Owners(model);
  {
    const DocumentView top(model, Links(LinkStyle::Files, &layout), &diagrams, objects);
    std::string readme;
    DeferredValues deferred;
    templates.Render(QStringLiteral("readme.md"), ReadmeData(model, top, owners, deferred),
                     readme, &deferred);
    if (!put(QStringLiteral("README.md"), MarkdownFile(readme))) return false;
  }
  const DocumentView view(model, MarkdownLinks(layout), &diagrams, objects);
  for (const OwnerPages& owner : owners)
    if (!PutOwnerPages(owner, layout, view, diagrams, templates, put)) return false;
  auto svgFile = [&](const QString& path, const std::string& svg) {
    return put(path, QByteArray::fromStdString(SvgFile(svg)));
  };
  for (const OwnerOverview& o : diagrams.Overviews())
    if (!o.svg.empty() &&
        !svgFile(FileLayout::OwnerFolder(o.anchor) + u'/' +
                     ObjectFileName(o.anchor, QStringLiteral(".svg")),
                 o.svg))
      return false;
  bool ok = true;
  for (const SectionKind kind : model.sections) {
    const QString name = DocumentView::ObjectTemplate(kind) + QStringLiteral(".md");
    view.ForEachObject(kind, [&](const QString& anchor, TemplateData& data,
                                  const std::string& svg) {
      if (!ok) return;
      std::string page;
      templates.Render(name, data, page);
      ok = put(PagePath(layout, anchor, QStringLiteral(".md")), MarkdownFile(page)) &&
           (svg.empty() || svgFile(PagePath(layout, anchor, QStringLiteral(".svg")), svg));
    });
    if (!ok) return false;
  }
  return true;
}

QList<OutputFile> RenderMarkdown(const DocumentModel& model, const TemplateSet& templates,
                                 const DiagramSource& diagrams) {
  QList<OutputFile> files;
  RenderMarkdown(model, templates, diagrams,
                 [&files](const QString& name, const QByteArray& bytes) {
                   files.append({name, bytes});
                   return true;
                 });
  return files;
}
