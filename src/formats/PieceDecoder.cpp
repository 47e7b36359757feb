#include "formats/PieceDecoder.h"

#include "platform/Codepage.h"

namespace PieceDecoder {

QString decode(const QByteArray& bytes, const PieceDone& pieceDone) {
    // One decoder for all pieces: it keeps a lead byte that ends a piece
    // until its trail byte comes with the next.
    Codepage::Decoder decoder(932);
    QString text;
    text.reserve(bytes.size());
    for (qsizetype start = 0; start < bytes.size(); start += PieceSize) {
        const qsizetype length = std::min(PieceSize, bytes.size() - start);
        text += decoder.decode(QByteArrayView(bytes.constData() + start, length));
        if (pieceDone)
            pieceDone(start + length, bytes.size());
    }
    return text;
}

} // namespace PieceDecoder
