#pragma once
// Information element identifiers of the elements we know (TS 23.040).

#include <QtGlobal>

namespace EmsIdentifier {
constexpr qint16 ConcatenatedShortMessage = 0x00;
constexpr qint16 ApplicationPort8Bit = 0x04;
constexpr qint16 TextFormatting = 0x0A;
constexpr qint16 UserDefinedSound = 0x0C;
constexpr qint16 LargePicture = 0x10;
constexpr qint16 Binary = 0x1A;
} // namespace EmsIdentifier
