#include "Wwmsgdlg.h"

#include "MulDiv.h"
#include "TApplication.h"
#include "TButton.h"
#include "UnitCounter.h"

#include <QLabel>
#include <QScreen>
#include <QStyle>
#include <optional>

std::array<QString, MsgDlgBtnCount> ButtonCaptions = {
    QStringLiteral("Ja"),      QStringLiteral("Nee"),     QStringLiteral("OK"),
    QStringLiteral("Annuleren"), QStringLiteral("Afbreken"), QStringLiteral("Opnieuw"),
    QStringLiteral("Negeren"), QStringLiteral("Alles"),   QStringLiteral("Nee tegen alles"),
    QStringLiteral("Ja tegen alles"), QStringLiteral("Help")};

std::array<QString, MsgDlgTypeCount> Captions = {QStringLiteral("Waarschuwing"), QStringLiteral("Fout"),
                                                 QStringLiteral("Informatie"), QStringLiteral("Bevestigen"),
                                                 QString()};

std::array<int, MsgDlgBtnCount> ButtonWidthCache = {};

namespace {

std::array<QString, MsgDlgBtnCount> ButtonComponentNames = {
    QStringLiteral("Yes"),    QStringLiteral("No"),      QStringLiteral("OK"),
    QStringLiteral("Cancel"), QStringLiteral("Abort"),   QStringLiteral("Retry"),
    QStringLiteral("Ignore"), QStringLiteral("All"),     QStringLiteral("NoToAll"),
    QStringLiteral("YesToAll"), QStringLiteral("Help")};

constexpr std::array<int, MsgDlgBtnCount> ButtonModalResults = {
    mrYes, mrNo, mrOk, mrCancel, mrAbort, mrRetry, mrIgnore, mrAll, mrNoToAll, mrYesToAll, mrNone};

constexpr std::array<std::optional<QStyle::StandardPixmap>, MsgDlgTypeCount> DialogIcons = {
    QStyle::SP_MessageBoxWarning, QStyle::SP_MessageBoxCritical, QStyle::SP_MessageBoxInformation,
    QStyle::SP_MessageBoxQuestion, std::nullopt};

constexpr int IconSize = 32;

UnitCounter starts;
std::function<int(TMessageForm &)> messageFormAnswer;

// The spacing of a dialog in pixels, from the average size of its font's letters.
struct DialogMetrics
{
    explicit DialogMetrics(const QFontMetrics &canvas)
    {
        const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
        const int unitX = canvas.horizontalAdvance(letters) / 52;
        const int unitY = canvas.height();
        horizontalMargin = MulDiv(8, unitX, 4);
        verticalMargin = MulDiv(8, unitY, 8);
        horizontalSpacing = MulDiv(10, unitX, 4);
        verticalSpacing = MulDiv(10, unitY, 8);
        buttonWidth = MulDiv(50, unitX, 4);
        buttonHeight = MulDiv(14, unitY, 8);
        buttonSpacing = MulDiv(4, unitX, 4);
    }

    int horizontalMargin;
    int verticalMargin;
    int horizontalSpacing;
    int verticalSpacing;
    int buttonWidth;
    int buttonHeight;
    int buttonSpacing;
};

// The width of a caption on one line, with '&' marking a shortcut letter as on a button.
int captionWidth(const QFontMetrics &canvas, const QString &caption, int readingOrder)
{
    return canvas.boundingRect(QRect(), Qt::TextSingleLine | Qt::TextShowMnemonic | readingOrder, caption).width();
}

// Whether some button ends the dialog; without one it could never be left.
bool hasWayOut(TMsgDlgButtons buttons, const TButtonDescriptionArray &extraButtons)
{
    for (int kind = 0; kind < MsgDlgBtnCount; ++kind) {
        if (buttons.contains(TMsgDlgBtn(kind)) && ButtonModalResults[kind] != mrNone)
            return true;
    }
    return std::any_of(extraButtons.cbegin(), extraButtons.cend(),
                       [](const TButtonDescription &button) { return button.ModalResult != mrNone; });
}

TButton *addButton(TMessageForm *form, const QString &name, const QString &caption, int modalResult,
                   const QRect &geometry)
{
    auto *button = new TButton(form);
    button->setObjectName(name);
    button->setText(caption);
    button->setModalResult(modalResult);
    button->setGeometry(geometry);
    return button;
}

} // namespace

std::unique_ptr<TMessageForm> CreateMessageForm(const QString &msg, TMsgDlgType dlgType, TMsgDlgButtons buttons,
                                                const TButtonDescriptionArray &extraButtons, bool focusNegative,
                                                const QString &caption)
{
    if (!hasWayOut(buttons, extraButtons))
        buttons.include(mbOK);

    auto form = std::make_unique<TMessageForm>(nullptr);
    form->setLayoutDirection(QGuiApplication::layoutDirection());
    // A fixed-size dialog: no minimise or maximise box.
    form->setWindowFlags(form->windowFlags() & ~(Qt::WindowMinMaxButtonsHint | Qt::WindowContextHelpButtonHint));
    const QFontMetrics canvas(form->font());
    const bool rightToLeft = form->layoutDirection() == Qt::RightToLeft;
    const int readingOrder = rightToLeft ? Qt::TextForceRightToLeft : 0;
    const DialogMetrics metrics(canvas);

    // One width for all buttons, wide enough for every caption.
    int buttonWidth = metrics.buttonWidth;
    for (int kind = 0; kind < MsgDlgBtnCount; ++kind) {
        if (!buttons.contains(TMsgDlgBtn(kind)))
            continue;
        if (ButtonWidthCache[kind] == 0)
            ButtonWidthCache[kind] = captionWidth(canvas, ButtonCaptions[kind], readingOrder) + 8;
        buttonWidth = std::max(buttonWidth, ButtonWidthCache[kind]);
    }
    for (const TButtonDescription &extra : extraButtons)
        buttonWidth = std::max(buttonWidth, captionWidth(canvas, extra.Caption, readingOrder) + 8);

    // The message wraps at half the screen's width.
    const QScreen *screen = form->screen();
    const QSize screenSize = screen ? screen->geometry().size() : QSize(640, 480);
    const QRect textRect = canvas.boundingRect(QRect(0, 0, screenSize.width() / 2, 0),
                                               Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap | Qt::TextExpandTabs
                                                   | readingOrder,
                                               msg);
    const int textWidth = textRect.width();
    const int textHeight = textRect.height();

    QIcon icon;
    if (const auto standardIcon = DialogIcons[dlgType])
        icon = form->style()->standardIcon(*standardIcon, nullptr, form.get());
    int blockWidth = textWidth;
    int blockHeight = textHeight;
    if (!icon.isNull()) {
        blockWidth += IconSize + metrics.horizontalSpacing;
        blockHeight = std::max(blockHeight, IconSize);
    }

    const int buttonCount = buttons.count() + int(extraButtons.size());
    const int rowWidth = buttonCount == 0 ? 0 : buttonWidth * buttonCount + metrics.buttonSpacing * (buttonCount - 1);

    const int clientWidth = std::max(blockWidth, rowWidth) + 2 * metrics.horizontalMargin;
    const int clientHeight = blockHeight + metrics.buttonHeight + metrics.verticalSpacing + 2 * metrics.verticalMargin;
    form->setFixedSize(clientWidth, clientHeight);
    form->move(screenSize.width() / 2 - form->frameGeometry().width() / 2,
               screenSize.height() / 2 - form->frameGeometry().height() / 2);

    QString title = caption;
    if (title.isEmpty())
        title = dlgType == mtCustom ? TApplication::instance()->title() : Captions[dlgType];
    form->setWindowTitle(title);

    if (!icon.isNull()) {
        auto *image = new QLabel(form.get());
        image->setObjectName(QStringLiteral("Image"));
        image->setPixmap(icon.pixmap(IconSize, IconSize));
        image->setGeometry(metrics.horizontalMargin, metrics.verticalMargin, IconSize, IconSize);
    }

    auto *message = new QLabel(form.get());
    message->setObjectName(QStringLiteral("Message"));
    message->setTextFormat(Qt::PlainText);
    message->setWordWrap(true);
    message->setText(msg);
    message->setLayoutDirection(form->layoutDirection());
    int messageLeft = blockWidth - textWidth + metrics.horizontalMargin;
    if (rightToLeft)
        messageLeft = clientWidth - messageLeft - textWidth;
    message->setGeometry(messageLeft, metrics.verticalMargin, textWidth, textHeight);

    TMsgDlgBtn defaultButton = buttons.contains(mbOK) ? mbOK : buttons.contains(mbYes) ? mbYes : mbRetry;
    const TMsgDlgBtn cancelButton = buttons.contains(mbCancel) ? mbCancel : buttons.contains(mbNo) ? mbNo : mbOK;
    if (!buttons.contains(mbCancel) && !buttons.contains(mbNo) && focusNegative && buttons.contains(mbYes))
        defaultButton = mbYes;

    int left = (clientWidth - rowWidth) / 2;
    const int top = blockHeight + metrics.verticalMargin + metrics.verticalSpacing;
    for (int kind = 0; kind < MsgDlgBtnCount; ++kind) {
        if (!buttons.contains(TMsgDlgBtn(kind)))
            continue;
        TButton *button = addButton(form.get(), ButtonComponentNames[kind], ButtonCaptions[kind],
                                    ButtonModalResults[kind], QRect(left, top, buttonWidth, metrics.buttonHeight));
        button->setDefault(kind == defaultButton);
        button->setCancel(kind == cancelButton);
        if (kind == mbHelp)
            QObject::connect(button, &QPushButton::clicked, form.get(), &TMessageForm::HelpClick);
        left += buttonWidth + metrics.buttonSpacing;
    }
    for (const TButtonDescription &extra : extraButtons) {
        addButton(form.get(), QStringLiteral("ExtraButton%1").arg(left), extra.Caption, extra.ModalResult,
                  QRect(left, top, buttonWidth, metrics.buttonHeight));
        left += buttonWidth + metrics.buttonSpacing;
    }

    QWidget *activeControl = nullptr;
    if (focusNegative && buttons.contains(mbNo))
        activeControl = form->findChild<QWidget *>(ButtonComponentNames[mbNo]);
    else if (focusNegative && buttons.contains(mbCancel))
        activeControl = form->findChild<QWidget *>(ButtonComponentNames[mbCancel]);
    else if (!ButtonComponentNames[defaultButton].isEmpty())
        activeControl = form->findChild<QWidget *>(ButtonComponentNames[defaultButton]);
    form->setActiveControl(activeControl);
    return form;
}

int ShowMessageForm(const QString &msg, TMsgDlgType dlgType, TMsgDlgButtons buttons, qint32 helpCtx, qint32 x,
                    qint32 y, const QString &helpFileName, const TButtonDescriptionArray &extraButtons,
                    bool focusNegative, const QString &caption)
{
    const std::unique_ptr<TMessageForm> form =
        CreateMessageForm(msg, dlgType, buttons, extraButtons, focusNegative, caption);
    form->setHelpContext(helpCtx);
    form->setHelpFile(helpFileName);
    if (x >= 0)
        form->move(x, form->y());
    if (y >= 0)
        form->move(form->x(), y);
    form->setScreenCentred(x < 0 && y < 0);
    return messageFormAnswer ? messageFormAnswer(*form) : form->exec();
}

int WWMessageDlg(const QString &msg, TMsgDlgType dlgType, TMsgDlgButtons buttons, qint32 helpCtx)
{
    return ShowMessageForm(msg, dlgType, buttons, helpCtx, -1, -1, QString(), {}, false, QString());
}

int WWMessageDlg(const QString &msg, TMsgDlgType dlgType, TMsgDlgButtons buttons, const TMessageDlgOptions &options)
{
    const TMessageDlgOptions copy = options;
    return ShowMessageForm(msg, dlgType, buttons, copy.HelpCtx, -1, -1, QString(), copy.ExtraButtons,
                           copy.FocusNegative, copy.Caption);
}

int Warning(const QString &msg)
{
    return WWMessageDlg(msg, mtWarning, {mbOK}, 0);
}

int Error(const QString &msg)
{
    return WWMessageDlg(msg, mtError, {mbOK}, 0);
}

int Information(const QString &msg)
{
    return WWMessageDlg(msg, mtInformation, {mbOK}, 0);
}

int YesNo(const QString &msg, bool withCancel, bool focusNegative)
{
    TMessageDlgOptions options;
    options.FocusNegative = focusNegative;
    const TMsgDlgButtons buttons = withCancel ? TMsgDlgButtons{mbYes, mbNo, mbCancel} : TMsgDlgButtons{mbYes, mbNo};
    return WWMessageDlg(msg, mtConfirmation, buttons, options);
}

int OkCancel(const QString &msg, bool focusNegative)
{
    TMessageDlgOptions options;
    options.FocusNegative = focusNegative;
    return WWMessageDlg(msg, mtConfirmation, {mbOK, mbCancel}, options);
}

void setMessageFormAnswer(std::function<int(TMessageForm &)> answer)
{
    messageFormAnswer = std::move(answer);
}

void WwmsgdlgStartup()
{
    starts.enter();
}

void WwmsgdlgExit()
{
    if (!starts.leave())
        return;
    ButtonComponentNames.fill(QString());
    Captions.fill(QString());
    ButtonCaptions.fill(QString());
}
