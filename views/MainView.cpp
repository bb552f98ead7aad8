// SPDX-License-Identifier: GPL-3.0-or-later
#include "views/MainView.h"

#include "model/ExportModel.h"
#include "model/ExportNames.h"
#include "model/FileSize.h"
#include "views/AnimatedProgressBar.h"
#include "views/Commands.h"
#include "views/DropZoneButton.h"
#include "views/ElidedLabel.h"
#include "views/EndNotice.h"
#include "views/FailureText.h"
#include "views/FreedesktopDesktop.h"
#include "views/KeyboardFocus.h"
#include "views/LinkButton.h"
#include "views/LocationField.h"
#include "views/ScaledPictureView.h"
#include "views/SymbolButton.h"
#include "views/SymbolIcon.h"
#include "views/TintedBar.h"

#include <QAction>
#include <QApplication>
#include <QBoxLayout>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QStyle>
#include <algorithm>

namespace {
constexpr QSize symbolSize(128, 128);
constexpr int symbolPadding = 100;
constexpr int smallestSymbolSide = 48;
constexpr int destinationBarHeight = 50;
constexpr int minimumGap = 8;
constexpr int failureSymbolSide = 16;

// Qt sends a name's change to assistive technologies even when the name stays the same, and a screen reader then
// reads the control out again.
void setAccessibleText(QWidget& widget, const QString& name, const QString& description = {})
{
    if (widget.accessibleName() != name)
        widget.setAccessibleName(name);
    if (widget.accessibleDescription() != description)
        widget.setAccessibleDescription(description);
}

// How far the export has got, 0 to 1: the copy while staging copies (nothing is known while it links), then the
// tool's steps.
double exportFraction(const ExportModel& model)
{
    if (!model.stagingInProgress())
        return model.progress();
    const qint64 toCopy = model.stagingBytesToCopy();
    return toCopy > 0 ? double(model.stagingBytesCopied()) / double(toCopy) : 0.0;
}

// The palette has no role for errors; a red that reads on the window's own background.
QColor errorColor(const QPalette& palette)
{
    return palette.color(QPalette::Window).lightness() < 128 ? QColor(0xff, 0x7b, 0x72) : QColor(0xc0, 0x1c, 0x28);
}
} // namespace

MainView::MainView(std::shared_ptr<ExportModel> model, QWidget* parent)
    : MainView(std::move(model), std::make_shared<FreedesktopDesktop>(), parent)
{ }

MainView::MainView(std::shared_ptr<ExportModel> model, std::shared_ptr<Desktop> desktop, QWidget* parent)
    : QWidget(parent)
    , m_model(std::move(model))
    , m_desktop(std::move(desktop))
{
    setMinimumSize(preferredMinimumSize);
    makeActions();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(makeSourceArea(), 1);
    // The source area takes the free height; the gap only keeps the bar from touching the path field.
    layout->addSpacerItem(new QSpacerItem(0, minimumGap, QSizePolicy::Minimum, QSizePolicy::Expanding));
    layout->addWidget(makeDestinationBar());
    orderTabStops();

    ExportModel* const emitter = m_model.get();
    connect(emitter, &ExportModel::selectedSourceURLChanged, this, [this] { refresh(); });
    connect(emitter, &ExportModel::selectedDestinationURLChanged, this, [this] { refresh(); });
    connect(emitter, &ExportModel::sourceSymbolNameChanged, this, [this] { refresh(); });
    connect(emitter, &ExportModel::phaseChanged, this, [this] { refresh(); });
    connect(emitter, &ExportModel::progressChanged, this, [this](bool animated) { refresh(animated); });
    connect(emitter, &ExportModel::isoFileSizeChanged, this, [this] { refresh(); });
    connect(emitter, &ExportModel::stagingCopyChanged, this, [this] { refresh(); });
    connect(emitter, &ExportModel::exportEndChanged, this, [this] {
        refresh();
        tellExportEnd();
    });
    refresh();
}

MainView::~MainView() = default;

void MainView::makeActions()
{
    m_selectSourceAction = makeCommandAction(selectSourceCommand(), *this);
    connect(m_selectSourceAction, &QAction::triggered, this, [this] { m_model->selectSource(); });
    m_selectDestinationAction = makeCommandAction(selectDestinationCommand(), *this);
    connect(m_selectDestinationAction, &QAction::triggered, this, [this] { m_model->selectDestination(); });
    m_createImageAction = makeCommandAction(createImageCommand(), *this);
    connect(m_createImageAction, &QAction::triggered, this, [this] { m_model->startExport(); });
    m_cancelExportAction = makeCommandAction(cancelExportCommand(), *this);
    connect(m_cancelExportAction, &QAction::triggered, this, [this] { m_model->cancelExport(); });
}

QWidget* MainView::makeSourceArea()
{
    m_sourceArea
        = new DropZoneButton([model = m_model.get()](const QList<QUrl>& urls) { return model->handleDrop(urls); });
    m_sourceArea->setObjectName(QStringLiteral("sourceArea"));
    const Command command = selectSourceCommand();
    m_sourceArea->setToolTip(toolTipText(command));
    pressesAction(*m_sourceArea, *m_selectSourceAction);

    m_sourceSymbol = new ScaledPictureView(symbolSize);
    m_sourceSymbol->setObjectName(QStringLiteral("sourceSymbol"));
    m_sourceSymbol->setShrinkablePadding(symbolPadding, smallestSymbolSide);

    m_sourceField = new LocationField(tr("No source selected"));
    m_sourceField->setObjectName(QStringLiteral("sourceField"));
    m_sourceField->setAccessibleName(tr("Source"));
    // The field lies inside the source area, and a click on it chooses a source as a click beside it does.
    connect(m_sourceField, &LocationField::clicked, m_selectSourceAction, &QAction::trigger);

    auto* content = new QVBoxLayout(m_sourceArea);
    content->addStretch();
    content->addWidget(m_sourceSymbol, 1);
    content->addLayout(makeProgressRow());
    content->addWidget(m_sourceField);
    content->addStretch();
    return m_sourceArea;
}

QLayout* MainView::makeProgressRow()
{
    m_progressBar = new AnimatedProgressBar;
    m_progressBar->setObjectName(QStringLiteral("progressBar"));
    m_progressBar->setAccessibleName(tr("Export progress"));
    m_cancelButton = new SymbolButton(QStringLiteral("xmark"), cancelExportCommand());
    m_cancelButton->setObjectName(QStringLiteral("cancelButton"));
    pressesAction(*m_cancelButton, *m_cancelExportAction);

    m_stagingLine = new QLabel;
    m_stagingLine->setObjectName(QStringLiteral("stagingLine"));
    m_endNotice = new EndNotice;
    m_endNotice->setObjectName(QStringLiteral("endNotice"));
    m_isoSizeLine = new QLabel;
    m_isoSizeLine->setObjectName(QStringLiteral("isoSizeLine"));
    m_showInFolder = new LinkButton(tr("Show in Folder"));
    m_showInFolder->setObjectName(QStringLiteral("showInFolder"));
    connect(m_showInFolder, &LinkButton::clicked, this, [this] {
        const QString image = m_model->exportedImagePath();
        m_desktop->showInFolder(image, [view = QPointer(this), image] {
            if (view)
                view->sayFolderCannotBeShown(image);
        });
    });
    m_leftOutNote = new QLabel;
    m_leftOutNote->setObjectName(QStringLiteral("leftOutNote"));
    m_failureSymbol = new QLabel;
    m_failureSymbol->setObjectName(QStringLiteral("failureSymbol"));
    m_endLine = new ElidedLabel;
    m_endLine->setObjectName(QStringLiteral("endLine"));
    m_replaceButton = new LinkButton(tr("Replace"));
    m_replaceButton->setObjectName(QStringLiteral("replaceButton"));
    connect(m_replaceButton, &LinkButton::clicked, this, [this] { m_model->replaceImage(); });

    auto* notice = new QHBoxLayout(m_endNotice);
    notice->setContentsMargins(0, 0, 0, 0);
    for (QWidget* part : { static_cast<QWidget*>(m_isoSizeLine), static_cast<QWidget*>(m_leftOutNote),
             static_cast<QWidget*>(m_showInFolder), static_cast<QWidget*>(m_failureSymbol) })
        notice->addWidget(part);
    notice->addWidget(m_endLine, 1);
    notice->addWidget(m_replaceButton);

    auto* row = new QHBoxLayout;
    m_progressRow = row;
    const int sidePadding = style()->pixelMetric(QStyle::PM_LayoutLeftMargin);
    row->setContentsMargins(sidePadding, 0, sidePadding, 0);
    // As tall as its tallest part whatever shows, so the symbol above does not jump between states.
    const int rowHeight = std::max(
        { m_progressBar->sizeHint().height(), m_cancelButton->sizeHint().height(), m_endLine->sizeHint().height() });
    row->addSpacerItem(new QSpacerItem(0, rowHeight, QSizePolicy::Fixed, QSizePolicy::Fixed));
    row->addWidget(m_progressBar, 1);
    row->addWidget(m_cancelButton);
    row->addWidget(m_stagingLine);
    row->addWidget(m_endNotice);
    return row;
}

void MainView::sayFolderCannotBeShown(const QString& image)
{
    // The user clicked for it, so the window says it; with the folder's path, to go there some other way.
    auto* box = new QMessageBox(QMessageBox::Warning, tr("Show in Folder"),
        tr("No file manager could show %1.").arg(itemName(image)), QMessageBox::Ok, window());
    box->setObjectName(QStringLiteral("folderNotShown"));
    box->setInformativeText(tr("It is in %1").arg(QDir::toNativeSeparators(QFileInfo(image).absolutePath())));
    box->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::WindowModal);
    box->open();
}

void MainView::orderTabStops()
{
    // The order of the work: the source, what the last export left, the paths, then the destination and export
    // buttons, and Cancel while an export runs. Hidden controls drop out of the chain by themselves.
    QWidget* const chain[] = { m_sourceArea, m_showInFolder, m_endLine, m_replaceButton, m_sourceField,
        m_destinationField, m_destinationButton, m_exportButton, m_cancelButton };
    for (std::size_t i = 1; i < std::size(chain); ++i)
        QWidget::setTabOrder(chain[i - 1], chain[i]);
}

QWidget* MainView::makeDestinationBar()
{
    auto* bar = new TintedBar(destinationBarHeight);
    bar->setObjectName(QStringLiteral("destinationBar"));

    m_destinationField = new LocationField(tr("No destination selected"));
    m_destinationField->setObjectName(QStringLiteral("destinationField"));
    m_destinationField->setAccessibleName(tr("Destination folder"));

    m_destinationButton = new SymbolButton(QStringLiteral("folder"), selectDestinationCommand());
    m_destinationButton->setObjectName(QStringLiteral("destinationButton"));
    pressesAction(*m_destinationButton, *m_selectDestinationAction);

    m_exportButton = new SymbolButton(QStringLiteral("play"), createImageCommand());
    m_exportButton->setObjectName(QStringLiteral("exportButton"));
    pressesAction(*m_exportButton, *m_createImageAction);

    auto* row = new QHBoxLayout(bar);
    const int sidePadding = style()->pixelMetric(QStyle::PM_LayoutLeftMargin);
    row->setContentsMargins(sidePadding, 0, sidePadding, 0);
    auto* label = new QLabel(tr("Destination folder:"));
    label->setBuddy(m_destinationField);
    row->addWidget(label);
    row->addWidget(m_destinationField, 1);
    row->addStretch();
    row->addWidget(m_destinationButton);
    row->addWidget(m_exportButton);
    return bar;
}

void MainView::refresh(bool animateProgress)
{
    const ExportModel& model = *m_model;
    QWidget* const focused = isAncestorOf(QApplication::focusWidget()) ? QApplication::focusWidget() : nullptr;

    const QString& symbolName = model.sourceSymbolName();
    const QColor symbolColor = palette().color(QPalette::WindowText);
    m_sourceSymbol->setPicture(symbolName + QLatin1Char(' ') + symbolColor.name(QColor::HexArgb),
        [symbolName, symbolColor](
            const QSize& size, qreal ratio) { return symbolPixmap(symbolName, symbolColor, size, ratio); });

    // A bar left full by an earlier export must not stand beside the news that this one failed.
    const bool ended = !model.stagingInProgress() && !model.exportInProgress();
    const bool failed = model.lastExportFailure().has_value();
    m_progressBar->setVisible(model.stagingInProgress() || (model.showsProgress() && !(failed && ended)));
    if (!model.stagingInProgress())
        m_progressBar->showFraction(model.progress(), animateProgress);
    m_cancelButton->setVisible(model.canCancelExport());
    showStaging(model);
    // The dock's entry follows an export while it runs.
    m_desktop->showProgress(model.canCancelExport() ? std::optional(exportFraction(model)) : std::nullopt);
    showExportEnd(model);
    describeSourceArea(model);

    m_sourceField->showLocation(model.selectedSourceURL());
    m_destinationField->showLocation(model.selectedDestinationURL());

    m_createImageAction->setEnabled(model.canStartExport());
    m_cancelExportAction->setEnabled(model.canCancelExport());

    // A control that goes with the focus (Replace as its export starts, Cancel as it ends) leaves it where the next
    // key makes sense, as soon as that is there: Cancel while an export runs, else the export button. Not on the
    // next stop of the chain, a path that would be selected whole.
    m_focusOwed = m_focusOwed || (focused && !(focused->isVisibleTo(this) && focused->isEnabled()));
    QWidget* const next = m_cancelButton->isVisibleTo(this) ? m_cancelButton : m_exportButton;
    if (m_focusOwed && next->isVisibleTo(this) && next->isEnabled()) {
        next->setFocus(Qt::OtherFocusReason);
        m_focusOwed = false;
    }
}

void MainView::showStaging(const ExportModel& model)
{
    // The moving bar alone could pass for a finished one.
    m_stagingLine->setVisible(model.stagingInProgress());
    if (!model.stagingInProgress())
        return;
    if (model.stagingBytesToCopy() <= 0) {
        m_progressBar->showBusy();
        m_stagingLine->setText(tr("Preparing…"));
        return;
    }
    // A copy from another drive can take minutes: it shows how far it has got.
    m_progressBar->showFraction(exportFraction(model), false);
    m_stagingLine->setText(
        tr("Copying %1 of %2…")
            .arg(readableSize(model.stagingBytesCopied()), readableSize(model.stagingBytesToCopy())));
}

void MainView::showExportEnd(const ExportModel& model)
{
    const auto& failure = model.lastExportFailure();
    // From the model, not from isVisible(), which stays false until the window itself is shown.
    const bool showsSize = !failure && model.isoFileSize() >= 1;
    m_isoSizeLine->setVisible(showsSize);
    m_isoSizeLine->setText(tr("Exported ISO Size: %1 MB").arg(model.isoFileSizeInMegabytes()));
    m_leftOutNote->setVisible(showsSize && model.leftOutCount() > 0);
    m_showInFolder->setVisible(showsSize && !model.exportedImagePath().isEmpty());
    const QString imageName = itemName(model.exportedImagePath());
    // Named, so a result left beside a newer choice still says which image it is.
    m_showInFolder->setText(tr("Show %1 in Folder").arg(imageName));
    m_showInFolder->setToolTip(tr("Show %1 in its folder").arg(imageName));
    m_leftOutNote->setText(model.leftOutCount() == 1 ? tr("(1 special file left out)")
                                                     : tr("(%1 special files left out)").arg(model.leftOutCount()));

    m_endLine->setVisible(failure.has_value());
    m_replaceButton->setVisible(model.canReplaceImage());
    m_failureSymbol->setVisible(failure && !failure->cancelled);
    const bool noticeWasShown = m_endNotice->isVisible();
    m_endNotice->setVisible(showsSize || failure);
    m_endNoticeAppeared = m_endNoticeAppeared || (!noticeWasShown && m_endNotice->isVisible());
    // A failure's line takes the room the bar leaves; beside a full bar, the size takes only what it needs.
    m_progressRow->setStretchFactor(m_endNotice, failure ? 1 : 0);
    if (!failure) {
        const QString leftOut = model.leftOutCount() > 0 ? QLatin1Char(' ') + m_leftOutNote->text() : QString();
        setAccessibleText(
            *m_endNotice, showsSize ? tr("%1: %2").arg(imageName, m_isoSizeLine->text() + leftOut) : QString());
        return;
    }
    // Named, so an end left beside a newer choice still says which image it was.
    m_endLine->setFullText(failure->cancelled ? tr("Export of %1 cancelled").arg(failure->imageName)
            : failure->aboutTheSource
            ? failure->reason
            : tr("Export of %1 failed: %2").arg(failure->imageName, FailureText::reason(*failure)));
    setAccessibleText(*m_endNotice, m_endLine->fullText());
    if (!failure->cancelled) {
        const QColor color = errorColor(palette());
        m_failureSymbol->setPixmap(symbolPixmap(QStringLiteral("exclamationmark.triangle"), color,
            QSize(failureSymbolSide, failureSymbolSide), devicePixelRatioF()));
        QPalette linePalette = m_endLine->palette();
        // Inside the source area, which is a button, labels draw in the button text role.
        linePalette.setColor(QPalette::WindowText, color);
        linePalette.setColor(QPalette::ButtonText, color);
        m_endLine->setPalette(linePalette);
    } else {
        m_endLine->setPalette(palette());
    }
}

void MainView::describeSourceArea(const ExportModel& model)
{
    // A screen reader on the source area hears what is chosen and how its export goes, not only what it does.
    QString name = selectSourceCommand().title;
    if (model.selectedSourceURL())
        name = tr("%1: %2").arg(name, itemName(model.selectedSourceURL()->toLocalFile()));
    if (model.stagingInProgress())
        name = tr("%1, %2").arg(name, model.stagingBytesToCopy() > 0 ? tr("copying") : tr("preparing"));
    else if (model.canCancelExport())
        name = tr("%1, exporting, %2 %").arg(name, QString::number(qRound(model.progress() * 100)));
    setAccessibleText(*m_sourceArea, name, m_endNotice->isVisibleTo(this) ? m_endNotice->accessibleName() : QString());
}

void MainView::tellExportEnd()
{
    const ExportModel& model = *m_model;
    // A start clears the last end too; only an export that has stopped is news.
    if (model.canCancelExport()) {
        m_endNoticeAppeared = false;
        return;
    }
    const auto& failure = model.lastExportFailure();

    // Screen readers hear how the export ended, wherever the focus is: a notice that has appeared since the start
    // was read out as it appeared, one that stayed on screen must be announced.
    if (m_endNotice->isVisible() && !m_endNoticeAppeared)
        m_desktop->announce(*m_endNotice);

    // Someone looking at a Velbrook window sees the end already; a cancel, or a source not taken, is news to
    // nobody else.
    if (QApplication::activeWindow() || (failure && (failure->cancelled || failure->aboutTheSource)))
        return;
    if (failure)
        m_desktop->notify(tr("Export failed"), FailureText::reason(*failure), QString(), *window());
    else if (!model.exportedImagePath().isEmpty())
        m_desktop->notify(tr("Image created"),
            tr("%1, %2 MB").arg(itemName(model.exportedImagePath())).arg(model.isoFileSizeInMegabytes()),
            model.exportedImagePath(), *window());
}

void MainView::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // Qt draws focus only once the keyboard has moved it; someone who starts with the keyboard must see where it is
    // from the start.
    window()->setAttribute(Qt::WA_KeyboardFocusChange);
}

void MainView::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    // A palette can arrive while the constructor is still building the children.
    if (event->type() == QEvent::PaletteChange && m_exportButton)
        refresh();
}
