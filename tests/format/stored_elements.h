#pragma once

#include "state/loaded_format.h"

#include <QString>
#include <QStringList>
#include <initializer_list>
#include <utility>

namespace pelmar::test {

// A stored element as "name=value" pairs joined by " | ", so that a value stored in the wrong
// member shows by name.
inline QString named(std::initializer_list<std::pair<const char*, const QString&>> members) {
    QStringList parts;
    for (const auto& [name, value] : members)
        parts << QString::fromLatin1(name) + u'=' + value;
    return parts.join(QStringLiteral(" | "));
}

inline QString described(const state::LabelSettings& e) {
    return named({{"width", e.width},
                  {"height", e.height},
                  {"gap", e.gap},
                  {"speed", e.speed},
                  {"darkness", e.darkness}});
}
inline QString described(const state::CommandFormat::Bar& e) {
    return named({{"x", e.x}, {"y", e.y}, {"width", e.width}, {"height", e.height}});
}
inline QString described(const state::CommandFormat::Box& e) {
    return named({{"xStart", e.xStart},
                  {"yStart", e.yStart},
                  {"xEnd", e.xEnd},
                  {"yEnd", e.yEnd},
                  {"thickness", e.thickness}});
}
inline QString described(const state::CommandFormat::Text& e) {
    return named({{"x", e.x},
                  {"y", e.y},
                  {"height", e.height},
                  {"rotation", e.rotation},
                  {"style", e.style},
                  {"underline", e.underline},
                  {"face", e.face},
                  {"content", e.content}});
}
inline QString described(const state::CommandFormat::Barcode& e) {
    return named({{"x", e.x},
                  {"y", e.y},
                  {"symbology", e.symbology},
                  {"height", e.height},
                  {"readable", e.readable},
                  {"rotation", e.rotation},
                  {"narrow", e.narrow},
                  {"wide", e.wide},
                  {"content", e.content}});
}
inline QString described(const state::CommandFormat::Symbol& e) {
    return named({{"parameters", e.parameters}, {"content", e.content}});
}
inline QString described(const state::CommandFormat::Graphic& e) {
    return named({{"x", e.x}, {"y", e.y}, {"fileName", e.fileName}});
}
inline QString described(const state::DriverFormat::Stroke& e) {
    return named(
        {{"x1", e.x1}, {"y1", e.y1}, {"x2", e.x2}, {"y2", e.y2}, {"thickness", e.thickness}});
}
inline QString described(const state::DriverFormat::Text& e) {
    return named({{"x", e.x},
                  {"y", e.y},
                  {"size", e.size},
                  {"style", e.style},
                  {"lineStyle", e.lineStyle},
                  {"face", e.face},
                  {"content", e.content}});
}
inline QString described(const state::DriverFormat::Barcode& e) {
    return named({{"x", e.x}, {"y", e.y}, {"font", e.font}, {"content", e.content}});
}
inline QString described(const state::DriverFormat::Graphic& e) {
    return named({{"x", e.x},
                  {"y", e.y},
                  {"width", e.width},
                  {"height", e.height},
                  {"fileName", e.fileName}});
}

// Row `index` of a table as described above; "(none)" past its count.
template <class Element> QString storedRow(const state::ElementTable<Element>& table, int index) {
    if (index < 0 || index >= table.count)
        return QStringLiteral("(none)");
    return described(table.rows[static_cast<size_t>(index)]);
}

// The count and row `index` of the table that the element keyword fills.
struct StoredKind {
    int count = -1;
    QString row;
};

template <class Element>
StoredKind storedKind(const state::ElementTable<Element>& table, int index) {
    return {table.count, storedRow(table, index)};
}

inline StoredKind stored(const state::CommandFormat& f, QStringView keyword, int index = 0) {
    if (keyword == u"Line")
        return storedKind(f.lineElements, index);
    if (keyword == u"Box")
        return storedKind(f.boxElements, index);
    if (keyword == u"F_Text")
        return storedKind(f.fTextElements, index);
    if (keyword == u"V_Text")
        return storedKind(f.vTextElements, index);
    if (keyword == u"F_Barcode")
        return storedKind(f.fBarcodeElements, index);
    if (keyword == u"V_Barcode")
        return storedKind(f.vBarcodeElements, index);
    if (keyword == u"PDF417")
        return storedKind(f.pdf417Elements, index);
    if (keyword == u"DMATRIX")
        return storedKind(f.dMatrixElements, index);
    if (keyword == u"Graphic")
        return storedKind(f.graphicElements, index);
    return {};
}

inline StoredKind stored(const state::DriverFormat& f, QStringView keyword, int index = 0) {
    if (keyword == u"Line")
        return storedKind(f.lineElements, index);
    if (keyword == u"Box")
        return storedKind(f.boxElements, index);
    if (keyword == u"F_Text")
        return storedKind(f.fTextElements, index);
    if (keyword == u"V_Text")
        return storedKind(f.vTextElements, index);
    if (keyword == u"F_Barcode")
        return storedKind(f.fBarcodeElements, index);
    if (keyword == u"V_Barcode")
        return storedKind(f.vBarcodeElements, index);
    if (keyword == u"Graphic")
        return storedKind(f.graphicElements, index);
    return {};
}

} // namespace pelmar::test
