// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target for the settings file reader. Besides crashes and undefined behaviour it checks
// what the settings rely on: a value set is read back as set, and setting one value changes no
// other value of the file, also after the text went through the disk's encoding.
#include "host/inifile.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>

namespace {

void check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "ini_fuzzer: %s\n", what);
        std::abort();
    }
}

QString consumeName(FuzzedDataProvider& in) {
    const std::string bytes = in.ConsumeRandomLengthString(24);
    return QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
}

bool hasLineBreak(const QString& s) {
    return s.contains(QLatin1Char('\n')) || s.contains(QLatin1Char('\r'));
}

// A section name the file can hold: one line, no closing bracket, nothing trimmed away.
bool storableSection(const QString& s) {
    return !hasLineBreak(s) && !s.contains(QLatin1Char(']')) && s == s.trimmed();
}

// A key the file can hold: one line, no "=", not a comment or a section, nothing trimmed away.
bool storableKey(const QString& k) {
    return !k.isEmpty() && !hasLineBreak(k) && !k.contains(QLatin1Char('=')) && k == k.trimmed() &&
           !k.startsWith(QLatin1Char(';')) && !k.startsWith(QLatin1Char('['));
}

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const QString section = consumeName(in);
    const QString key = consumeName(in);
    const QString value = consumeName(in);
    const QString otherSection = consumeName(in);
    const QString otherKey = consumeName(in);
    const std::vector<uint8_t> rest = in.ConsumeRemainingBytes<uint8_t>();
    const QByteArray bytes(reinterpret_cast<const char*>(rest.data()), qsizetype(rest.size()));

    const QString text = IniFile::decode(bytes);
    const auto otherBefore = IniFile::lookup(text, otherSection, otherKey);
    const QString after = IniFile::withValue(text, section, key, value);
    check(after.endsWith(QLatin1Char('\n')), "the written text does not end its last line");

    if (!storableSection(section) || !storableKey(key) || hasLineBreak(value))
        return 0;
    const auto readBack = IniFile::lookup(after, section, key);
    check(readBack && *readBack == value.trimmed(), "the value set is not read back");

    const bool sameEntry = sameName(section, otherSection) && sameName(key, otherKey);
    if (!sameEntry)
        check(IniFile::lookup(after, otherSection, otherKey) == otherBefore,
              "setting a value changed another");

    // What the disk keeps: UTF-8 bytes, decoded again. A leading byte-order mark is dropped by the
    // reader, so a text that itself begins with one is left out of this check.
    if (!after.startsWith(QChar(0xFEFF))) {
        const QString reread = IniFile::decode(after.toUtf8());
        check(IniFile::lookup(reread, section, key) == readBack,
              "the value changed on its way through the disk");
        if (!sameEntry)
            check(IniFile::lookup(reread, otherSection, otherKey) == otherBefore,
                  "another value changed on its way through the disk");
    }
    return 0;
}
