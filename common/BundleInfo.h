// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QJsonObject>
#include <QString>
#include <optional>

// The application's information dictionary: name, versions and copyright, generated at build time.
struct Bundle {
    std::optional<QJsonObject> infoDictionary;

    // Reads a JSON object file (usually a Qt resource); a missing or malformed file gives a bundle without a
    // dictionary.
    [[nodiscard]] static Bundle load(const QString& path);
};

// Where the application keeps its generated information dictionary.
inline constexpr auto mainBundleInfoPath = ":/velbrook/Info.json";

// The value under `key` when it is a text string, otherwise the warning sign. Never fails.
[[nodiscard]] QString bundleInfoString(const Bundle& bundle, const QString& key);
