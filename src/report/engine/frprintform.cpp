#include "report/engine/frprintform.h"
#include "report/engine/frlocale.h"
#include "report/engine/frpagelist.h"
#include "report/engine/frprinter.h"
#include "report/engine/frspeedbutton.h"
#include "report/engine/frstrings.h"

#include "common/prompt.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

constexpr int kMaxCopies = 9999;

// The collation picture: filled with the face colour, the picture of the current choice on it.
class CollatePicture : public QWidget {
public:
    CollatePicture(QCheckBox *box, QWidget *parent) : QWidget(parent), m_box(box) { setFixedSize(92, 53); }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), palette().color(QPalette::Button));
        if (m_box->isChecked())
            p.drawPixmap(QRect(8, 0, 74, 53), TfrPrintForm::CollateImage(true));
        else
            p.drawPixmap(QRect(0, 8, 92, 40), TfrPrintForm::CollateImage(false));
    }

private:
    QCheckBox *m_box;
};

// Numbered sheets, each one offset from the one below.
void drawSheets(QPainter &p, int x, int y, const QList<int> &numbers)
{
    int i = 0;
    for (int n : numbers) {
        const QRect r(x + i * 6, y + i * 5, 18, 24);
        p.fillRect(r, Qt::white);
        p.setPen(Qt::black);
        p.drawRect(r.adjusted(0, 0, -1, -1));
        p.drawText(r, Qt::AlignCenter, QString::number(n));
        ++i;
    }
}

QImage arrowGlyph(bool up)
{
    QImage img(7, 4, QImage::Format_RGB32);
    img.fill(qRgb(128, 128, 0));
    for (int row = 0; row < 4; ++row) {
        const int y = up ? row : 3 - row;
        for (int x = 3 - row; x <= 3 + row; ++x)
            img.setPixel(x, y, qRgb(0, 0, 0));
    }
    return img;
}

} // namespace

QPixmap TfrPrintForm::PrinterIcon()
{
    QPixmap pm(18, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(Qt::black);
    p.fillRect(QRect(4, 1, 10, 6), Qt::white);          // paper going in
    p.drawRect(QRect(4, 1, 9, 5));
    p.fillRect(QRect(1, 6, 16, 7), QColor(192, 192, 192)); // body
    p.drawRect(QRect(1, 6, 15, 6));
    p.fillRect(QRect(13, 8, 2, 1), QColor(0, 128, 0));   // lamp
    p.fillRect(QRect(4, 11, 10, 4), Qt::white);          // paper coming out
    p.drawRect(QRect(4, 11, 9, 3));
    return pm;
}

QPixmap TfrPrintForm::CollateImage(bool collated)
{
    QPixmap pm = collated ? QPixmap(74, 53) : QPixmap(92, 40);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    QFont f = p.font();
    f.setPixelSize(10);
    p.setFont(f);
    if (collated) {
        drawSheets(p, 2, 2, {3, 2, 1});
        drawSheets(p, 40, 2, {3, 2, 1});
    } else {
        drawSheets(p, 0, 2, {1, 1});
        drawSheets(p, 31, 2, {2, 2});
        drawSheets(p, 62, 2, {3, 3});
    }
    return pm;
}

TfrPrintForm::TfrPrintForm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frPrintForm"));
    setWindowTitle(GetLocalizedString(53040));
    TfrPrinter &prn = EnsureReportPrinter();

    auto named = [](QWidget *w, const char *name) {
        w->setObjectName(QLatin1String(name));
        return w;
    };

    GroupBox1 = new QGroupBox(GetLocalizedString(53041), this);
    named(GroupBox1, "GroupBox1");
    Label4 = new QLabel(GetLocalizedString(53049), GroupBox1);
    named(Label4, "Label4");
    CB1 = new QComboBox(GroupBox1);
    named(CB1, "CB1");
    CB1->setIconSize(QSize(18, 16));
    Label4->setBuddy(CB1);
    PropButton = new QPushButton(GetLocalizedString(53042), GroupBox1);
    named(PropButton, "PropButton");
    auto *g1 = new QHBoxLayout(GroupBox1);
    g1->addWidget(Label4);
    g1->addWidget(CB1, 1);
    g1->addWidget(PropButton);

    GroupBox2 = new QGroupBox(GetLocalizedString(53044), this);
    named(GroupBox2, "GroupBox2");
    RB1 = new QRadioButton(GetLocalizedString(53045), GroupBox2);
    named(RB1, "RB1");
    RB1->setChecked(true);
    RB2 = new QRadioButton(GetLocalizedString(53046), GroupBox2);
    named(RB2, "RB2");
    RB3 = new QRadioButton(GetLocalizedString(53047), GroupBox2);
    named(RB3, "RB3");
    E2 = new QLineEdit(GroupBox2);
    named(E2, "E2");
    E2->installEventFilter(this);
    Label2 = new QLabel(GetLocalizedString(53048), GroupBox2);
    named(Label2, "Label2");
    Label2->setWordWrap(true);
    auto *g2 = new QGridLayout(GroupBox2);
    g2->addWidget(RB1, 0, 0, 1, 2);
    g2->addWidget(RB2, 1, 0, 1, 2);
    g2->addWidget(RB3, 2, 0);
    g2->addWidget(E2, 2, 1);
    g2->addWidget(Label2, 3, 0, 1, 2);

    GroupBox3 = new QGroupBox(GetLocalizedString(53043), this);
    named(GroupBox3, "GroupBox3");
    Label1 = new QLabel(GetLocalizedString(53050), GroupBox3);
    named(Label1, "Label1");
    E1 = new QLineEdit(QStringLiteral("1"), GroupBox3);
    named(E1, "E1");
    // A number of copies, never a text or a value below 1.
    E1->setValidator(new QIntValidator(1, kMaxCopies, E1));
    E1->setMaximumWidth(60);
    Label1->setBuddy(E1);
    frSpeedButton1 = new TfrSpeedButton(GroupBox3);
    named(frSpeedButton1, "frSpeedButton1");
    frSpeedButton1->SetFlat(true);
    frSpeedButton1->SetGrayedInactive(false);
    frSpeedButton1->SetGlyph(arrowGlyph(true));
    frSpeedButton1->setFixedSize(15, 11);
    frSpeedButton2 = new TfrSpeedButton(GroupBox3);
    named(frSpeedButton2, "frSpeedButton2");
    frSpeedButton2->SetFlat(true);
    frSpeedButton2->SetGrayedInactive(false);
    frSpeedButton2->SetGlyph(arrowGlyph(false));
    frSpeedButton2->setFixedSize(15, 11);
    CollateCB = new QCheckBox(GroupBox3);
    named(CollateCB, "CollateCB");
    CollateCB->setChecked(true);
    Label3 = new QLabel(GetLocalizedString(53051), GroupBox3);
    named(Label3, "Label3");
    Label3->setBuddy(CollateCB);
    Label3->installEventFilter(this);
    PB1 = new CollatePicture(CollateCB, GroupBox3);
    named(PB1, "PB1");
    auto *spin = new QVBoxLayout;
    spin->setSpacing(0);
    spin->addWidget(frSpeedButton1);
    spin->addWidget(frSpeedButton2);
    auto *copies = new QHBoxLayout;
    copies->addWidget(Label1);
    copies->addWidget(E1);
    copies->addLayout(spin);
    copies->addStretch();
    auto *collate = new QHBoxLayout;
    collate->addWidget(CollateCB);
    collate->addWidget(Label3);
    collate->addStretch();
    auto *g3 = new QGridLayout(GroupBox3);
    g3->addLayout(copies, 0, 0);
    g3->addLayout(collate, 1, 0);
    g3->addWidget(PB1, 0, 1, 2, 1);

    Label5 = new QLabel(GetLocalizedString(53052), this);
    named(Label5, "Label5");
    CB2 = new QComboBox(this);
    named(CB2, "CB2");
    CB2->addItems({GetLocalizedString(53053), GetLocalizedString(53054), GetLocalizedString(53055)});
    CB2->setCurrentIndex(0);
    Label5->setBuddy(CB2);

    Button1 = new QPushButton(GetLocalizedString(frRes::Ok), this);
    named(Button1, "Button1");
    Button1->setDefault(true);
    Button2 = new QPushButton(GetLocalizedString(frRes::Cancel), this);
    named(Button2, "Button2");

    auto *which = new QHBoxLayout;
    which->setSpacing(11);
    which->addWidget(Label5);
    which->addWidget(CB2);
    which->addStretch();
    which->addWidget(Button1);
    which->addWidget(Button2);
    auto *middle = new QHBoxLayout;
    middle->addWidget(GroupBox2, 1);
    middle->addWidget(GroupBox3, 1);
    auto *lay = new QVBoxLayout(this);
    lay->addWidget(GroupBox1);
    lay->addLayout(middle);
    lay->addLayout(which);

    // The printers in the layer's order, the virtual printer (a PDF file) last.
    const QPixmap icon = PrinterIcon();
    for (int i = 0; i < prn.Printers.size(); ++i) {
        QString text = prn.Printers[i];
        if (i == prn.VirtualPrinterIndex)
            text += QStringLiteral(" (PDF)");
        CB1->addItem(QIcon(icon), text);
    }
    m_oldIndex = prn.PrinterIndex;
    CB1->setCurrentIndex(m_oldIndex);
    PropButton->setEnabled(!prn.IsVirtual());

    connect(CB1, &QComboBox::activated, this, [this](int) { CB1Click(); });
    connect(PropButton, &QPushButton::clicked, this, &TfrPrintForm::PropButtonClick);
    connect(frSpeedButton1, &TfrSpeedButton::clicked, this, &TfrPrintForm::frSpeedButton1Click);
    connect(frSpeedButton2, &TfrSpeedButton::clicked, this, &TfrPrintForm::frSpeedButton2Click);
    connect(RB3, &QRadioButton::clicked, this, &TfrPrintForm::RB3Click);
    connect(CollateCB, &QCheckBox::toggled, PB1, qOverload<>(&QWidget::update));
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
}

int TfrPrintForm::Copies() const
{
    bool ok = false;
    const int n = E1->text().toInt(&ok);
    return ok ? qBound(1, n, kMaxCopies) : 1;
}

bool TfrPrintForm::Collate() const { return CollateCB->isChecked(); }

QString TfrPrintForm::PageNumbers(int currentPage) const
{
    if (RB1->isChecked())
        return {};
    if (RB2->isChecked())
        return QString::number(currentPage);
    return E2->text();
}

quint8 TfrPrintForm::PrintPages() const { return quint8(qMax(0, CB2->currentIndex())); }

bool TfrPrintForm::ToFile() const
{
    return CB1->currentIndex() == EnsureReportPrinter().VirtualPrinterIndex;
}

void TfrPrintForm::CB1Click()
{
    TfrPrinter &prn = EnsureReportPrinter();
    prn.SelectPrinter(CB1->currentIndex());
    PropButton->setEnabled(!prn.IsVirtual());
}

void TfrPrintForm::PropButtonClick() { EnsureReportPrinter().PropertiesDialog(); }

void TfrPrintForm::frSpeedButton1Click()
{
    E1->setText(QString::number(qMin(Copies() + 1, kMaxCopies)));
}

void TfrPrintForm::frSpeedButton2Click()
{
    E1->setText(QString::number(qMax(1, Copies() - 1)));
}

void TfrPrintForm::Label3Click() { CollateCB->toggle(); }

void TfrPrintForm::RB3Click() { E2->setFocus(); }

bool TfrPrintForm::eventFilter(QObject *watched, QEvent *e)
{
    if (watched == E2 && e->type() == QEvent::FocusIn)
        RB3->setChecked(true);
    if (watched == Label3 && (e->type() == QEvent::MouseButtonPress || e->type() == QEvent::MouseButtonDblClick)) {
        Label3Click();
        return true;
    }
    return QDialog::eventFilter(watched, e);
}

void TfrPrintForm::done(int r)
{
    TfrPrinter &prn = EnsureReportPrinter();
    if (r == QDialog::Accepted) {
        QString message;
        if (RB3->isChecked() && !TfrPageList::Check(E2->text(), &message)) {
            orv::prompt().message(this, GetLocalizedString(frRes::Error), message, QMessageBox::Warning);
            E2->setFocus();
            return;
        }
        E1->setText(QString::number(Copies()));
        // Print on the printer the list shows.
        prn.SelectPrinter(CB1->currentIndex());
    } else {
        prn.SelectPrinter(m_oldIndex);
    }
    QDialog::done(r);
}
