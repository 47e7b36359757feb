#include "platform/LzExpand.h"

#include <QFile>

#include <mspack.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

const QByteArray kSignature("SZDD\x88\xF0\x27\x33", 8);

// libmspack opens its input and output by name; our names are pointers to
// byte arrays, so the whole expansion happens in memory.
struct MemoryFile {
    mspack_file base; // first, so that libmspack's handle is ours
    QByteArray* bytes;
    qint64 position;
};

MemoryFile* memoryFile(mspack_file* file) {
    return reinterpret_cast<MemoryFile*>(file);
}

const char* nameOf(QByteArray* bytes) {
    return reinterpret_cast<const char*>(bytes);
}

mspack_file* openMemory(mspack_system*, const char* name, int mode) {
    auto* bytes = reinterpret_cast<QByteArray*>(const_cast<char*>(name));
    if (mode == MSPACK_SYS_OPEN_WRITE)
        bytes->clear();
    else if (mode != MSPACK_SYS_OPEN_READ)
        return nullptr;
    return &(new MemoryFile{{}, bytes, 0})->base;
}

void closeMemory(mspack_file* file) {
    delete memoryFile(file);
}

int readMemory(mspack_file* file, void* buffer, int count) {
    MemoryFile* f = memoryFile(file);
    if (count < 0)
        return -1;
    const qint64 n = std::min<qint64>(count, f->bytes->size() - f->position);
    std::memcpy(buffer, f->bytes->constData() + f->position, static_cast<size_t>(n));
    f->position += n;
    return static_cast<int>(n);
}

int writeMemory(mspack_file* file, void* buffer, int count) {
    MemoryFile* f = memoryFile(file);
    if (count < 0)
        return -1;
    f->bytes->append(static_cast<const char*>(buffer), count);
    f->position = f->bytes->size();
    return count;
}

int seekMemory(mspack_file* file, off_t offset, int mode) {
    MemoryFile* f = memoryFile(file);
    qint64 base = 0;
    if (mode == MSPACK_SYS_SEEK_CUR)
        base = f->position;
    else if (mode == MSPACK_SYS_SEEK_END)
        base = f->bytes->size();
    const qint64 target = base + offset;
    if (target < 0 || target > f->bytes->size())
        return -1;
    f->position = target;
    return 0;
}

off_t tellMemory(mspack_file* file) {
    return static_cast<off_t>(memoryFile(file)->position);
}

void ignoreMessage(mspack_file*, const char*, ...) {}

void* allocate(mspack_system*, size_t bytes) {
    return std::malloc(bytes);
}

void release(void* pointer) {
    std::free(pointer);
}

void copy(void* source, void* destination, size_t bytes) {
    std::memcpy(destination, source, bytes);
}

mspack_system memorySystem = {openMemory, closeMemory, readMemory,    writeMemory,
                              seekMemory, tellMemory,  ignoreMessage, allocate,
                              release,    copy,        nullptr};

bool libraryMatchesHeaders() {
    static const bool matches = [] {
        int result = MSPACK_ERR_OK;
        MSPACK_SYS_SELFTEST(result);
        return result == MSPACK_ERR_OK;
    }();
    return matches;
}

} // namespace

namespace LzExpand {

bool isCompressed(const QByteArray& stored) {
    return stored.startsWith(kSignature);
}

Content expand(const QByteArray& stored) {
    if (!isCompressed(stored))
        return {Status::Ok, stored};
    if (!libraryMatchesHeaders())
        return {Status::Damaged, {}};
    msszdd_decompressor* decompressor = mspack_create_szdd_decompressor(&memorySystem);
    if (!decompressor)
        return {Status::Damaged, {}};

    QByteArray input = stored;
    QByteArray output;
    Content content{Status::Damaged, {}};
    if (msszddd_header* header = decompressor->open(decompressor, nameOf(&input))) {
        const int error = decompressor->extract(decompressor, header, nameOf(&output));
        // The expander stops quietly where a truncated file ends; the length
        // in the header tells.
        if (error == MSPACK_ERR_OK && output.size() == header->length)
            content = {Status::Ok, output};
        decompressor->close(decompressor, header);
    }
    mspack_destroy_szdd_decompressor(decompressor);
    return content;
}

Content readFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {Status::CannotRead, {}};
    const QByteArray stored = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return {Status::CannotRead, {}};
    return expand(stored);
}

} // namespace LzExpand
