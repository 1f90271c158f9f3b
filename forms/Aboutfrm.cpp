#include "Aboutfrm.h"
#include "ui_Aboutfrm.h"

#include "Encdec.h"
#include "ImageLists.h"
#include "ShellOpenAndWait.h"
#include "TApplication.h"
#include "TVersionInfo.h"
#include "TextHaloEffect.h"

#include <QMouseEvent>
#include <QPushButton>

#include <algorithm>
#include <initializer_list>

namespace {

QByteArray fromBytes(std::initializer_list<quint8> bytes)
{
    QByteArray result;
    result.reserve(qsizetype(bytes.size()));
    for (const quint8 byte : bytes)
        result.append(char(byte));
    return result;
}

QString unscrambled(const QByteArray &scrambled)
{
    return QString::fromUtf8(Decrypt(scrambled));
}

// Where the Windows font is missing, a sans serif of the same cut and width stands in.
const QStringList LabelFontFamilies = {
    QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Arial"),
    QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"), QStringLiteral("Nimbus Sans"),
    QStringLiteral("Helvetica"),
};
// 8 points at 96 pixels per inch.
constexpr int LabelFontPixelSize = 11;
// The least room between a caption and the link that follows it on the same line.
constexpr int LinkGap = 2;

} // namespace

const QByteArray ScrambledAuthor = fromBytes({
    0x5F, 0x74, 0x72, 0x2E, 0x63, 0x79, 0x7F, 0x7E, 0x74, 0x86, 0x80, 0x36,
    0x7B, 0x7D, 0x8F, 0x7F, 0x87, 0x8B, 0x8D, 0x83, 0x91, 0x93,
});
const QByteArray ScrambledMaker = fromBytes({
    0x5F, 0x74, 0x72, 0x2E, 0x63, 0x79, 0x7F, 0x7E, 0x74, 0x86, 0x80, 0x36,
    0x87, 0x8A, 0x88, 0x84, 0x80, 0x7F, 0x91,
});
const QByteArray ScrambledCopyright = fromBytes({
    0xCD, 0xB5, 0x2D, 0x40, 0x3F, 0x42, 0x47, 0x32, 0x67, 0x7C, 0x7A, 0x36,
    0x6B, 0x81, 0x87, 0x86, 0x7C, 0x8E, 0x88, 0x3E, 0x83, 0x85, 0x97, 0x87,
    0x8F, 0x93, 0x95, 0x8B, 0x99, 0x9B,
});

TAboutForm::TAboutForm(QWidget *owner) : TDialog(owner), m_ui(std::make_unique<Ui::TAboutForm>())
{
    m_ui->setupUi(this);
    // The base layout named the window first, so its own layout's name does not take.
    setObjectName(QStringLiteral("AboutForm"));
    Image1 = m_ui->Image1;
    Label1 = m_ui->Label1;
    Label2 = m_ui->Label2;
    Label3 = m_ui->Label3;
    Label4 = m_ui->Label4;
    Label5 = m_ui->Label5;
    Label6 = m_ui->Label6;
    Bevel2 = m_ui->Bevel2;
    Image2 = m_ui->Image2;
    Label7 = m_ui->Label7;
    Label8 = m_ui->Label8;
    Label9 = m_ui->Label9;
    applyLayout();

    btnCancel->setFocusPolicy(Qt::NoFocus);
    // The buttons lie above the pictures and the labels; Cancel under OK.
    btnCancel->raise();
    btnOk->raise();
    Image1->setPixmap(ImageLists::aboutStrip());
    Image1->resize(Image1->pixmap().size());
    Image2->setPixmap(ImageLists::aboutPhotograph());
    applyLabelLook();
    Label7->installEventFilter(this);
    Label9->installEventFilter(this);

    FormCreate();
    fitLabelsToText();
}

TAboutForm::~TAboutForm()
{
    FormDestroy();
}

QList<QLabel *> TAboutForm::textLabels() const
{
    return {Label1, Label2, Label3, Label4, Label5, Label6, Label7, Label8, Label9};
}

// Every label: the window's small font, plain text only, no background of its own, a rim
// that keeps it readable.
void TAboutForm::applyLabelLook()
{
    for (QLabel *label : textLabels()) {
        QFont font = label->font(); // keeps bold and underline
        font.setFamilies(LabelFontFamilies);
        font.setPixelSize(LabelFontPixelSize);
        label->setFont(font);
        label->setTextFormat(Qt::PlainText);
        label->setAutoFillBackground(false);
        // The pure colours alone are lost on parts of the photograph.
        label->ensurePolished();
        label->setGraphicsEffect(new TextHaloEffect(TextHaloEffect::haloFor(label->palette().color(QPalette::WindowText)), label));
    }
}

// The labels take the width of their text, and a link moves right when the caption before
// it on the line has grown into it.
void TAboutForm::fitLabelsToText()
{
    for (QLabel *label : textLabels()) {
        const QSize hint = label->sizeHint();
        label->resize(hint.width(), std::max(label->height(), hint.height()));
    }
    for (const auto &[caption, link] : {std::pair{Label2, Label7}, std::pair{Label8, Label9}})
        link->move(std::max(link->x(), caption->geometry().right() + 1 + LinkGap), link->y());
}

void TAboutForm::FormCreate()
{
    const QString copyright = unscrambled(ScrambledCopyright);
    VersionInfo = std::make_unique<TVersionInfo>(TApplication::instance()->exeName());
    // Each value goes in as it stands, whatever signs it holds.
    Label3->setText(QStringLiteral("Description: %1").arg(VersionInfo->GetFileDescription()));
    Label4->setText(QStringLiteral("Copyright: %1").arg(copyright));
    Label5->setText(QStringLiteral("Version: %1").arg(VersionInfo->GetFileVersion()));
    Label6->setText(QStringLiteral("Comments: %1").arg(VersionInfo->GetComments()));
    Label7->setText(unscrambled(ScrambledAuthor));
    Label9->setText(unscrambled(ScrambledMaker));
}

void TAboutForm::FormDestroy()
{
    VersionInfo.reset();
}

// Both names open the contact address.
void TAboutForm::Label7Click()
{
    const QByteArray ScrambledContact = fromBytes({
        0x78, 0x6D, 0x76, 0x7A, 0x83, 0x7F, 0x4B, 0x86, 0x7C, 0x82, 0x81, 0x77,
        0x89, 0x83, 0x59, 0x7F, 0x93, 0x7D, 0x8A, 0x8E, 0x8B, 0x85, 0x4F, 0x91,
        0x95, 0x8B,
    });
    ShellOpenAndWait(unscrambled(ScrambledContact), QString());
}

// A link is clicked when the left button goes up over the label it went down on.
bool TAboutForm::eventFilter(QObject *watched, QEvent *event)
{
    if ((watched == Label7 || watched == Label9) && event->type() == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton && static_cast<QWidget *>(watched)->rect().contains(mouse->position().toPoint())) {
            Label7Click();
            return true;
        }
    }
    return TDialog::eventFilter(watched, event);
}

void ShowAboutWindow(QWidget *owner)
{
    TAboutForm form(owner);
    form.exec();
}
