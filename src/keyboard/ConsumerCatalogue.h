// SPDX-License-Identifier: MIT
// The catalogue of consumer-control keys (media, volume, browser keys and the like) that a switch
// can press, read from "consumer_keys.json".
#pragma once

#include "KeyboardJson.h"

#include <QString>
#include <QStringView>

#include <cstdint>
#include <vector>

namespace zelmor {

struct TConsumerSysKey {
    std::uint8_t UsagePage = 0;
    std::uint16_t UsageCode = 0;
    QString LabelText;
};

struct TConsumerCategory {
    QString CategoryID;
    QString LabelText;
    QString Description;
    std::vector<TConsumerSysKey> Keys;
};

// The text for language Lang from an object of language code -> text: the non-empty string of
// Lang2Of(Lang), else of Lang2Of(Fallback) when a fallback is given, else the first member's text.
// Empty for no object.
QString PickLocalizedText(const TJson* labels, QStringView lang, QStringView fallback = {});

// The catalogue from the "consumer_keys" array, texts in Lang2 (falling back to English). Throws
// TKeyboardDataError for an element that is not an object, a category without "keys" array and a
// key that is not an object.
std::vector<TConsumerCategory> BuildConsumerCatalogue(const TJson& categories, QStringView lang2);

} // namespace zelmor
