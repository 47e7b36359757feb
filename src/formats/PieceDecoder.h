#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

// Plain question files are decoded from code page 932 in pieces of 65520
// bytes, so that a long file can let pending events run between pieces. A
// double-byte character split by a piece boundary is decoded whole.
namespace PieceDecoder {

inline constexpr qsizetype PieceSize = 65520;

// Called after each piece with the bytes decoded so far and in all.
using PieceDone = std::function<void(qsizetype decoded, qsizetype total)>;

QString decode(const QByteArray& bytes, const PieceDone& pieceDone = {});

} // namespace PieceDecoder
