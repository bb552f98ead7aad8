// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "common/BundleInfo.h"

#include <QString>
#include <QWidget>
#include <functional>
#include <memory>

// The application's name as the information dictionary gives it ("⚠️" when it does not).
[[nodiscard]] QString applicationName(const Bundle& bundle);
// The About and Help windows' titles, which their menu items share so they read the same in both places.
[[nodiscard]] QString aboutTitle(const Bundle& bundle);
[[nodiscard]] QString helpTitle(const Bundle& bundle);

// The application's single About and Help windows: each is made on its first request and kept from then on,
// so closing one and asking again brings back the same window where it was.
class AppDelegate {
public:
    explicit AppDelegate(Bundle bundle);
    ~AppDelegate();
    AppDelegate(const AppDelegate&) = delete;
    AppDelegate& operator=(const AppDelegate&) = delete;

    void showAboutWindow();
    void showHelpWindow();

private:
    using WindowFactory = std::function<std::unique_ptr<QWidget>()>;
    void presentWindow(std::unique_ptr<QWidget>& slot, const QString& title, const WindowFactory& makeContent);

    Bundle m_bundle;
    std::unique_ptr<QWidget> aboutBoxWindowController;
    std::unique_ptr<QWidget> helpWindowController;
};
