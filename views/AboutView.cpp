// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/AboutView.h"

#include "common/BundleInfo.h"
#include "views/ScaledPictureView.h"
#include "views/SymbolIcon.h"

#include <QApplication>
#include <QDesktopServices>
#include <QLabel>
#include <QUrl>
#include <QVBoxLayout>

namespace {
constexpr QSize minimumAboutSize(350, 300);
constexpr int margin = 20;
constexpr int spacing = 10;
constexpr int nameFontPointSize = 20;
constexpr QSize artworkPreferredSize(128, 128);

[[nodiscard]] QLabel* selectableLabel(const QString& text)
{
    auto* label = new QLabel(text);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

} // namespace

QUrl AboutView::webAddress()
{
    return QUrl(QStringLiteral(VELBROOK_HOMEPAGE));
}

AboutView::AboutView(const Bundle& bundle, QWidget* parent)
    : QWidget(parent)
{
    setMinimumSize(minimumAboutSize);

    auto* artwork = new ScaledPictureView(artworkPreferredSize);
    artwork->setPicture(QStringLiteral("isoDiscIcon"),
        [](const QSize& size, qreal ratio) { return artworkPixmap(QStringLiteral("isoDiscIcon"), size, ratio); });

    auto* name = selectableLabel(bundleInfoString(bundle, QStringLiteral("CFBundleName")));
    name->setObjectName(QStringLiteral("name"));
    QFont nameFont = QApplication::font();
    nameFont.setPointSize(nameFontPointSize);
    nameFont.setBold(true);
    name->setFont(nameFont);

    const QString address = webAddress().toString();
    auto* link = new QLabel(QStringLiteral("<a href=\"%1\">%1</a>").arg(address.toHtmlEscaped()));
    link->setObjectName(QStringLiteral("link"));
    link->setTextFormat(Qt::RichText);
    link->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    connect(link, &QLabel::linkActivated, this, [](const QString& url) { QDesktopServices::openUrl(QUrl(url)); });

    auto* version = selectableLabel(tr("Ver: %1 (%2) ")
                                        .arg(bundleInfoString(bundle, QStringLiteral("CFBundleShortVersionString")),
                                            bundleInfoString(bundle, QStringLiteral("CFBundleVersion"))));
    version->setObjectName(QStringLiteral("version"));

    auto* copyright = new QLabel(bundleInfoString(bundle, QStringLiteral("NSHumanReadableCopyright")));
    copyright->setObjectName(QStringLiteral("copyright"));
    copyright->setTextFormat(Qt::PlainText);
    copyright->setWordWrap(true);
    copyright->setAlignment(Qt::AlignCenter);
    QFont thin = copyright->font();
    thin.setWeight(QFont::Thin);
    copyright->setFont(thin);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(margin, margin, margin, margin);
    layout->setSpacing(spacing);
    layout->addWidget(artwork, 1);
    for (QLabel* label : { name, link, version })
        layout->addWidget(label, 0, Qt::AlignHCenter);
    layout->addWidget(copyright);
}
