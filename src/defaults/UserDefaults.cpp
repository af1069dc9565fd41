// SPDX-License-Identifier: GPL-3.0-or-later
#include "defaults/UserDefaults.h"

#include "defaults/DefaultsLog.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QMetaType>
#include <QStandardPaths>

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace calidra {
namespace {

constexpr qint64 MaximumFileSize = 1024 * 1024;
constexpr int LockWaitMilliseconds = 1000;

/// What a path holds, found without opening it: opening a FIFO waits for a
/// writer, and a device may do anything.
enum class PathKind {
    Missing,
    SmallFile,
    LargeFile,
    Other, // no regular file, or a path that cannot be examined
};

PathKind pathKind(const QString& path, bool followLinks)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat status = {};
    const int result =
        followLinks ? ::stat(name.constData(), &status) : ::lstat(name.constData(), &status);
    if (result != 0) {
        return errno == ENOENT ? PathKind::Missing : PathKind::Other;
    }
    if (!S_ISREG(status.st_mode)) {
        return PathKind::Other;
    }
    return status.st_size > MaximumFileSize ? PathKind::LargeFile : PathKind::SmallFile;
}

bool isUsable(PathKind kind)
{
    return kind == PathKind::Missing || kind == PathKind::SmallFile;
}

/// Whether the lock QSettings takes without a time limit while it writes is
/// free now: it is taken within a bound and given back at once. A lock path
/// that is no regular file is never free, since the lock would read it.
bool isLockFree(const QString& lockPath)
{
    if (!isUsable(pathKind(lockPath, false))) {
        return false;
    }
    QLockFile lock(lockPath);
    if (!lock.tryLock(LockWaitMilliseconds)) {
        return false;
    }
    lock.unlock();
    return true;
}

bool isFlatKey(const QString& key)
{
    return !key.isEmpty() && !key.contains(u'/') && !key.contains(u'\\');
}

QString floatText(float value)
{
    std::array<char, 32> buffer{};
    const auto end = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value).ptr;
    return QString::fromLatin1(buffer.data(), end - buffer.data());
}

/// Qt compares a float with text through a double, so a float fallback of 0.1
/// would never equal the text "0.1" that storing it leaves: floats compare as
/// the text they are stored as.
QVariant comparable(const QVariant& value)
{
    return value.typeId() == QMetaType::Float ? QVariant(floatText(value.toFloat())) : value;
}

bool sameValue(const QVariant& a, const QVariant& b)
{
    return comparable(a) == comparable(b);
}

/// A finite decimal number; a number too large for a double reads as the
/// infinity of its sign, for the callers to clamp. "nan", "inf" and text that
/// is no number give nothing.
std::optional<double> readNumber(const QString& text)
{
    bool ok = false;
    const double number = text.toDouble(&ok);
    if (ok ? std::isfinite(number) : std::isinf(number)) {
        return number;
    }
    return std::nullopt;
}

std::optional<bool> readBool(const QVariant& value)
{
    struct Word
    {
        QStringView text;
        bool meaning;
    };
    static constexpr std::array<Word, 4> words{
        {{u"true", true}, {u"yes", true}, {u"false", false}, {u"no", false}}};
    const QString text = value.toString().trimmed();
    for (const Word& word : words) {
        if (text.compare(word.text, Qt::CaseInsensitive) == 0) {
            return word.meaning;
        }
    }
    const std::optional<double> number = readNumber(text);
    return number ? std::optional<bool>(*number != 0.0) : std::nullopt;
}

std::optional<qint64> readInteger(const QVariant& value)
{
    const QString text = value.toString();
    bool ok = false;
    const qint64 integer = text.toLongLong(&ok);
    if (ok) {
        return integer;
    }
    const std::optional<double> number = readNumber(text);
    if (!number) {
        return std::nullopt;
    }
    // 2^63 is exactly representable; everything below it in magnitude converts.
    constexpr double limit = 9223372036854775808.0;
    if (*number >= limit) {
        return std::numeric_limits<qint64>::max();
    }
    if (*number <= -limit) {
        return std::numeric_limits<qint64>::min();
    }
    return static_cast<qint64>(*number);
}

std::optional<float> readFloat(const QVariant& value)
{
    const std::optional<double> number = readNumber(value.toString());
    if (!number) {
        return std::nullopt;
    }
    constexpr double limit = std::numeric_limits<float>::max();
    return static_cast<float>(std::clamp(*number, -limit, limit));
}

// QSettings reads an INI value with unquoted commas as a list, which is no text.
std::optional<QString> readString(const QVariant& value)
{
    return value.typeId() == QMetaType::QString ? std::optional(value.toString()) : std::nullopt;
}

} // namespace

UserDefaults::UserDefaults(const QString& filePath, QObject* parent)
    : QObject(parent), m_filePath(filePath)
{
    // QSettings reads the file as soon as it is made, so it is made only over
    // a file that can be read without waiting.
    const PathKind kind = pathKind(filePath, true);
    if (isUsable(kind)) {
        m_settings = std::make_unique<QSettings>(filePath, QSettings::IniFormat);
    } else if (kind == PathKind::Other) {
        qCDebug(defaultsLog) << filePath
                             << "is no regular file; the fallbacks stand in for this run";
    } else if (kind == PathKind::LargeFile) {
        std::fprintf(stderr, "calidra: %s is larger than 1 MiB; it is neither read nor written\n",
                     QFile::encodeName(filePath).constData());
    }
}

UserDefaults::~UserDefaults()
{
    synchronize();
}

QString UserDefaults::standardFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           u"/Calidra/Calidra.conf"_qs;
}

QString UserDefaults::adoptLegacyFile(const QString& filePath)
{
    const QString legacy = QFileInfo(filePath).dir().filePath(u"Calidra.ini"_qs);
    struct stat status;
    if (::lstat(QFile::encodeName(filePath).constData(), &status) == 0 || errno != ENOENT ||
        ::lstat(QFile::encodeName(legacy).constData(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return filePath;
    }
    return std::rename(QFile::encodeName(legacy).constData(),
                       QFile::encodeName(filePath).constData()) == 0
               ? filePath
               : legacy;
}

void UserDefaults::registerDefaults(const QVariantMap& fallbacks)
{
    m_registered.insert(fallbacks);
}

QVariant UserDefaults::objectForKey(const QString& key) const
{
    const QVariant stored = storedValue(key);
    return stored.isValid() ? stored : m_registered.value(key);
}

bool UserDefaults::boolForKey(const QString& key) const
{
    return typedValue(key, &readBool);
}

qint64 UserDefaults::integerForKey(const QString& key) const
{
    return typedValue(key, &readInteger);
}

float UserDefaults::floatForKey(const QString& key) const
{
    return typedValue(key, &readFloat);
}

QString UserDefaults::stringForKey(const QString& key) const
{
    return typedValue(key, &readString);
}

void UserDefaults::setBool(bool value, const QString& key)
{
    changeStored(key, value ? u"true"_qs : u"false"_qs);
}

void UserDefaults::setInteger(qint64 value, const QString& key)
{
    changeStored(key, QString::number(value));
}

void UserDefaults::setFloat(float value, const QString& key)
{
    if (std::isfinite(value)) {
        changeStored(key, floatText(value));
    }
}

void UserDefaults::setString(const QString& value, const QString& key)
{
    changeStored(key, value);
}

void UserDefaults::removeObjectForKey(const QString& key)
{
    changeStored(key, std::nullopt);
}

QMetaObject::Connection UserDefaults::observe(const QString& key, const QObject* context,
                                              std::function<void(const QVariant&)> handler)
{
    if (!context || !handler) {
        return {};
    }
    return connect(
        this, &UserDefaults::valueChanged, context,
        [key, handler = std::move(handler)](const QString& changedKey, const QVariant& newValue) {
            if (changedKey == key) {
                handler(newValue);
            }
        });
}

void UserDefaults::synchronize()
{
    if (!m_settings || m_unwritten.isEmpty()) {
        return;
    }
    m_writeAllowed = canWrite();
    if (!m_writeAllowed) {
        return;
    }
    for (auto change = m_unwritten.cbegin(); change != m_unwritten.cend(); ++change) {
        if (change.value()) {
            m_settings->setValue(change.key(), *change.value());
        } else {
            m_settings->remove(change.key());
        }
    }
    m_unwritten.clear();
    // A file that cannot be written keeps the changes in QSettings for the run.
    m_settings->sync();
    // QSettings also syncs on an event it posts at a first change, and that
    // sync would wait for the lock without a bound.
    QCoreApplication::removePostedEvents(m_settings.get(), QEvent::UpdateRequest);
}

bool UserDefaults::isWritable() const
{
    // QSettings keeps only the first error it met: a file that refused one
    // write counts as refusing for the rest of the run, and a refusal after a
    // damaged file was read goes unseen.
    return m_settings && m_writeAllowed && m_settings->status() != QSettings::AccessError;
}

bool UserDefaults::canWrite() const
{
    const QString fileName = m_settings->fileName();
    // The lock lies beside the file, so the folder must exist before it.
    return isUsable(pathKind(fileName, true)) &&
           QDir().mkpath(QFileInfo(fileName).absolutePath()) && isLockFree(fileName + u".lock"_qs);
}

QVariant UserDefaults::storedValue(const QString& key) const
{
    if (!isFlatKey(key)) {
        return {};
    }
    if (const auto change = m_unwritten.constFind(key); change != m_unwritten.cend()) {
        return change.value() ? QVariant(*change.value()) : QVariant();
    }
    return m_settings ? m_settings->value(key) : QVariant();
}

template <typename T>
T UserDefaults::typedValue(const QString& key, std::optional<T> (*read)(const QVariant&)) const
{
    const QVariant stored = storedValue(key);
    if (const std::optional<T> value = read(stored)) {
        return *value;
    }
    // Read at every refresh: told once per key.
    if (stored.isValid() && defaultsLog().isDebugEnabled() && !m_unreadableLogged.contains(key)) {
        m_unreadableLogged.insert(key);
        qCDebug(defaultsLog) << "stored" << key << stored.toString()
                             << "cannot be read; the fallback" << m_registered.value(key).toString()
                             << "stands in";
    }
    return read(m_registered.value(key)).value_or(T{});
}

void UserDefaults::changeStored(const QString& key, const std::optional<QString>& text)
{
    if (!isFlatKey(key)) {
        return;
    }
    const QVariant oldValue = objectForKey(key);
    m_unwritten.insert(key, text);
    synchronize();
    const QVariant newValue = objectForKey(key);
    if (!sameValue(oldValue, newValue)) {
        emit valueChanged(key, newValue);
    }
}

} // namespace calidra
