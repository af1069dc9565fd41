// SPDX-License-Identifier: GPL-3.0-or-later
#include "CocoaCryptoHashing.h"

#include <QStringEncoder>
#include <QStringView>
#include <openssl/evp.h>

namespace calidra {
namespace {

// The digest of the bytes in one call, absent for absent bytes or when the
// digest cannot be made.
std::optional<QByteArray> digest(const std::optional<QByteArray>& bytes, const EVP_MD* kind)
{
    if (!bytes) {
        return std::nullopt;
    }
    QByteArray result(EVP_MD_get_size(kind), Qt::Uninitialized);
    unsigned int size = 0;
    if (EVP_Digest(bytes->constData(), static_cast<size_t>(bytes->size()),
                   reinterpret_cast<unsigned char*>(result.data()), &size, kind, nullptr) != 1 ||
        size != static_cast<unsigned int>(result.size())) {
        return std::nullopt;
    }
    return result;
}

std::optional<QString> hex(const std::optional<QByteArray>& raw)
{
    if (!raw) {
        return std::nullopt;
    }
    return QString::fromLatin1(raw->toHex());
}

// The text's UTF-8 bytes; absent when a lone surrogate has no lossless form.
std::optional<QByteArray> utf8(QStringView text)
{
    QStringEncoder encoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QByteArray bytes = encoder.encode(text);
    if (encoder.hasError()) {
        return std::nullopt;
    }
    return bytes;
}

} // namespace

std::optional<QByteArray> CocoaCryptoHashing::md5Hash(const std::optional<QByteArray>& bytes)
{
    return digest(bytes, EVP_md5());
}

std::optional<QByteArray> CocoaCryptoHashing::md5Hash(QStringView text)
{
    return md5Hash(utf8(text));
}

std::optional<QString> CocoaCryptoHashing::md5HexHash(const std::optional<QByteArray>& bytes)
{
    return hex(md5Hash(bytes));
}

std::optional<QString> CocoaCryptoHashing::md5HexHash(QStringView text)
{
    return md5HexHash(utf8(text));
}

std::optional<QByteArray> CocoaCryptoHashing::sha1Hash(const std::optional<QByteArray>& bytes)
{
    return digest(bytes, EVP_sha1());
}

std::optional<QByteArray> CocoaCryptoHashing::sha1Hash(QStringView text)
{
    return sha1Hash(utf8(text));
}

std::optional<QString> CocoaCryptoHashing::sha1HexHash(const std::optional<QByteArray>& bytes)
{
    return hex(sha1Hash(bytes));
}

std::optional<QString> CocoaCryptoHashing::sha1HexHash(QStringView text)
{
    return sha1HexHash(utf8(text));
}

} // namespace calidra
