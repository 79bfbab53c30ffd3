#pragma once
// The texts of one box of a drawing's SVG, for tests that check what a box shows.

#include <QByteArray>
#include <QStringList>
#include <QXmlStreamReader>
#include <map>
#include <string>

// A box's texts by line (their y), each line's in the order they are drawn, joined by '|';
// the box is the node group titled `table`.
inline QStringList BoxLines(const std::string& svg, const QString& table) {
  QXmlStreamReader xml(QByteArray::fromStdString(svg));
  QString part;
  std::map<double, QStringList> lines;
  while (!xml.atEnd()) {
    if (xml.readNext() != QXmlStreamReader::StartElement) continue;
    if (xml.name() == u"g" && xml.attributes().value("class") == u"node") part.clear();
    if (xml.name() == u"title") part = xml.readElementText();
    if (xml.name() == u"text" && part == table)
      lines[xml.attributes().value("y").toDouble()].append(xml.readElementText().simplified());
  }
  QStringList box;
  for (const auto& [y, texts] : lines) box.append(texts.join(u'|'));
  return box;
}
