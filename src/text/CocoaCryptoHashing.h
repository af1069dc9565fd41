// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Kept name: "CocoaCryptoHashing" is MD5 and SHA-1 over OpenSSL; see docs/GLOSSARY.md.

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <optional>

namespace calidra {

/// MD5 and SHA-1 digests of byte strings and of text, as raw digest bytes or
/// as lowercase hexadecimal text. Text is digested over its UTF-8 bytes. Every
/// operation yields absent for an absent byte string, for text holding a lone
/// surrogate (it has no lossless UTF-8 form), or when the digest cannot be made.
class CocoaCryptoHashing
{
public:
    CocoaCryptoHashing() = delete;

    /// The 16-byte MD5 digest of the bytes.
    static std::optional<QByteArray> md5Hash(const std::optional<QByteArray>& bytes);
    /// The 16-byte MD5 digest of the text's UTF-8 bytes.
    static std::optional<QByteArray> md5Hash(QStringView text);

    /// The MD5 digest of the bytes as 32 lowercase hexadecimal digits.
    static std::optional<QString> md5HexHash(const std::optional<QByteArray>& bytes);
    /// The MD5 digest of the text's UTF-8 bytes as 32 lowercase hexadecimal digits.
    static std::optional<QString> md5HexHash(QStringView text);

    /// The 20-byte SHA-1 digest of the bytes.
    static std::optional<QByteArray> sha1Hash(const std::optional<QByteArray>& bytes);
    /// The 20-byte SHA-1 digest of the text's UTF-8 bytes.
    static std::optional<QByteArray> sha1Hash(QStringView text);

    /// The SHA-1 digest of the bytes as 40 lowercase hexadecimal digits.
    static std::optional<QString> sha1HexHash(const std::optional<QByteArray>& bytes);
    /// The SHA-1 digest of the text's UTF-8 bytes as 40 lowercase hexadecimal digits.
    static std::optional<QString> sha1HexHash(QStringView text);
};

} // namespace calidra
