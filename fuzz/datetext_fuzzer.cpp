// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target for the date text reader, in the three locales the program meets (Slovak, US
// English and the C locale). Besides crashes and undefined behaviour it checks that whatever the
// reader accepts is written by toText in a form it reads back as the same value, since the
// settings file keeps dates in exactly that written form.
#include "host/datetime.h"

#include <cstdio>
#include <cstdlib>

namespace {

void check(bool ok, const char* what, const QString& text, const QLocale& locale) {
    if (!ok) {
        std::fprintf(stderr, "datetext_fuzzer: %s (text \"%s\", locale %s)\n", what, qPrintable(text),
                     qPrintable(locale.name()));
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const QLocale locales[] = {QLocale(QStringLiteral("sk_SK")), QLocale(QStringLiteral("en_US")),
                                      QLocale::c()};
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    for (const QLocale& locale : locales) {
        if (const auto v = DateText::tryParse(text, locale)) {
            const QString written = DateText::toText(*v, locale);
            const auto again = DateText::tryParse(written, locale);
            check(again.has_value(), "a value read cannot be read again from its written form", text, locale);
            check(again->totalSeconds() == v->totalSeconds(), "the written form reads back as another value",
                  text, locale);
        }
        if (const auto t = DateText::tryParseTime(text, locale)) {
            check(t->isValid(), "an invalid time of day was accepted", text, locale);
            const auto again = DateText::tryParseTime(DateText::timeText(*t, locale), locale);
            check(again && again->msecsSinceStartOfDay() == t->msecsSinceStartOfDay(),
                  "a time of day does not read back from its written form", text, locale);
        }
    }
    return 0;
}
