// SPDX-License-Identifier: MIT
#include "ConsumerCatalogue.h"

#include "I18nManager.h"
#include "KeyboardDataError.h"

namespace zelmor {

namespace {

// The text form of a member value: a string as it is, a number or a truth value as its JSON text.
QString ValueText(const TJson& value) {
    if (value.is_string())
        return QString::fromStdString(value.get_ref<const std::string&>());
    if (value.is_number() || value.is_boolean())
        return QString::fromStdString(value.dump());
    return {};
}

QString StringMember(const TJson& object, const QString& name) {
    const TJson* value = MemberOf(object, name.toStdString().c_str());
    return value != nullptr ? JsonString(*value).value_or(QString()) : QString();
}

std::int64_t ClampedInteger(const TJson& object, const char* name, std::int64_t high) {
    const TJson* value = MemberOf(object, name);
    const auto number = value != nullptr ? JsonInteger(*value) : std::nullopt;
    return number ? Clamp(*number, 0, high) : 0;
}

[[noreturn]] void Fail(const QString& message) {
    throw TKeyboardDataError(message.toStdString());
}

TConsumerSysKey ReadKey(const TJson& key, QStringView lang2) {
    TConsumerSysKey result;
    result.UsagePage = static_cast<std::uint8_t>(ClampedInteger(key, "usage_page", 0xFF));
    result.UsageCode = static_cast<std::uint16_t>(ClampedInteger(key, "usage_code", 0xFFFF));
    result.LabelText = PickLocalizedText(MemberOf(key, "labels"), lang2, u"en");
    if (result.LabelText.isEmpty())
        result.LabelText = QStringLiteral("%1:%2").arg(int{result.UsagePage}).arg(int{result.UsageCode});
    return result;
}

} // namespace

QString PickLocalizedText(const TJson* labels, QStringView lang, QStringView fallback) {
    if (labels == nullptr || !labels->is_object())
        return {};
    if (QString text = StringMember(*labels, Lang2Of(lang)); !text.isEmpty())
        return text;
    if (!fallback.isEmpty())
        if (QString text = StringMember(*labels, Lang2Of(fallback)); !text.isEmpty())
            return text;
    return labels->empty() ? QString() : ValueText(labels->begin().value());
}

std::vector<TConsumerCategory> BuildConsumerCatalogue(const TJson& categories, QStringView lang2) {
    std::vector<TConsumerCategory> catalogue;
    for (std::size_t i = 0; i < categories.size(); ++i) {
        const TJson& element = categories[i];
        if (!element.is_object())
            Fail(QStringLiteral("Element %1 is not a JSON object.").arg(i));
        TConsumerCategory category;
        category.CategoryID = StringMember(element, QStringLiteral("category_id"));
        category.LabelText = PickLocalizedText(MemberOf(element, "labels"), lang2, u"en");
        if (category.LabelText.isEmpty())
            category.LabelText = category.CategoryID;
        category.Description = PickLocalizedText(MemberOf(element, "description"), lang2, u"en");
        const TJson* keys = MemberOf(element, "keys");
        if (keys == nullptr || !keys->is_array())
            Fail(QStringLiteral("Category \"%1\" does not contain any keys.").arg(category.CategoryID));
        for (std::size_t k = 0; k < keys->size(); ++k) {
            const TJson& key = (*keys)[k];
            if (!key.is_object())
                Fail(QStringLiteral("Key %1 in category \"%2\" is not a JSON object.")
                         .arg(k)
                         .arg(category.CategoryID));
            category.Keys.push_back(ReadKey(key, lang2));
        }
        catalogue.push_back(std::move(category));
    }
    return catalogue;
}

} // namespace zelmor
