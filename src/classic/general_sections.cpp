#include "classic/general_sections.h"

#include "classic/html.h"
#include "project/project.h"

void WriteHeader(BuildContext& ctx) {
  const bool html = ctx.HtmlOutput;
  const ProjectInfo& info = ctx.project.Info();
  QStringList& out = ctx.doc.TempMemoHeader;
  if (html) {
    // The head says how the bytes are encoded, so a browser in any locale reads them right.
    out.append("<HTML><HEAD><META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; "
               "charset=windows-1252\"><TITLE>" +
               DocText(info.Name, html) + "</TITLE></HEAD><BODY BGCOLOR=\"#FAFAFA\">");
    out.append(QStringLiteral("<H3>"));
  }
  out.append(QStringLiteral("Vellumar"));
  out.append(html ? QStringLiteral("</H3>") : QString());
  const QString lines[] = {"Name " + DocText(info.Name, html),
                           "Version " + DocText(info.Version, html),
                           "Created " + DocText(info.Created, html),
                           "Updated " + DocText(info.Updated, html)};
  for (int i = 0; i < 4; ++i) {
    out.append(lines[i]);
    if (html && i < 3) out.append(QStringLiteral("<BR>"));
  }
  out.append(html ? QStringLiteral("<hr>") : QString());
}

void WriteContentHeading(BuildContext& ctx) {
  QStringList& out = ctx.doc.TempMemoHeader;
  if (ctx.HtmlOutput) out.append(QStringLiteral("<H3>"));
  out.append(QStringLiteral("Content"));
  if (ctx.HtmlOutput) out.append(QStringLiteral("</H3>"));
}

void WriteGeneralSection(BuildContext& ctx, int& SectionNumber) {
  const bool html = ctx.HtmlOutput;
  WriteSectionHeading(ctx, SectionNumber, QStringLiteral(" General"), false,
                      QStringLiteral("</A></B></P>"));
  ++SectionNumber;
  QStringList& body = ctx.doc.TempMemo;
  body.append(html ? QStringLiteral("<P>") : QString());
  body.append(ParagraphText(ctx.project.Info().General, html));
  if (html) body.append(QStringLiteral("</P>"));
  WriteSectionEnd(ctx);
}

void WriteDocumentEnd(BuildContext& ctx) {
  if (ctx.HtmlOutput) ctx.doc.TempMemo.append(QStringLiteral("</BODY></HTML>"));
}
