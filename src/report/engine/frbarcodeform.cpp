#include "report/engine/frbarcodeform.h"

#include "report/engine/frbarcode.h"
#include "report/engine/frbarcodeview.h"
#include "report/engine/frlocale.h"
#include "report/engine/frutils.h"
#include "report/engine/frvalue.h"

#include "common/prompt.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>

namespace {

QIcon ellipsisIcon()
{
    QPixmap pm(12, 12);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    for (int x : {1, 5, 9})
        p.drawRect(x, 8, 2, 2);
    return QIcon(pm);
}

// The zoom field as a number; false when it holds none.
bool zoomValue(const QLineEdit *edit, double &value, QString *error = nullptr)
{
    try {
        value = ParseFloatText(edit->text());
    } catch (const EfrConversionError &e) {
        if (error)
            *error = e.message();
        return false;
    }
    if (!std::isfinite(value)) {
        if (error)
            *error = QStringLiteral("'%1' is not a valid floating point value").arg(edit->text());
        return false;
    }
    return true;
}

} // namespace

TfrBarCodeForm::TfrBarCodeForm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TfrBarCodeForm"));
    auto named = [](QWidget *w, const char *name) {
        w->setObjectName(QString::fromLatin1(name));
        return w;
    };
    codeLabel = static_cast<QLabel *>(named(new QLabel(this), "Label1"));
    codeEdit = static_cast<QLineEdit *>(named(new QLineEdit(this), "M1"));
    expressionButton = codeEdit->addAction(ellipsisIcon(), QLineEdit::TrailingPosition);
    expressionButton->setObjectName(QStringLiteral("ExprBtn"));
    codeLabel->setBuddy(codeEdit);
    typeLabel = static_cast<QLabel *>(named(new QLabel(this), "Label2"));
    typeCombo = static_cast<QComboBox *>(named(new QComboBox(this), "cbType"));
    typeLabel->setBuddy(typeCombo);

    optionsGroup = static_cast<QGroupBox *>(named(new QGroupBox(this), "GroupBox1"));
    checkSumBox = static_cast<QCheckBox *>(named(new QCheckBox(optionsGroup), "ckCheckSum"));
    viewTextBox = static_cast<QCheckBox *>(named(new QCheckBox(optionsGroup), "ckViewText"));
    zoomLabel = static_cast<QLabel *>(named(new QLabel(optionsGroup), "Label3"));
    zoomEdit = static_cast<QLineEdit *>(named(new QLineEdit(optionsGroup), "eZoom"));
    zoomLabel->setBuddy(zoomEdit);
    zoomUpButton = static_cast<QToolButton *>(named(new QToolButton(optionsGroup), "frSpeedButton1"));
    zoomDownButton = static_cast<QToolButton *>(named(new QToolButton(optionsGroup), "frSpeedButton2"));
    zoomUpButton->setArrowType(Qt::UpArrow);
    zoomDownButton->setArrowType(Qt::DownArrow);
    for (QToolButton *b : {zoomUpButton, zoomDownButton}) {
        b->setAutoRaise(true);
        b->setFixedSize(16, 11);
    }

    rotationGroup = static_cast<QGroupBox *>(named(new QGroupBox(this), "GroupBox2"));
    rotation0 = static_cast<QRadioButton *>(named(new QRadioButton(QStringLiteral("0"), rotationGroup), "RB1"));
    rotation90 = static_cast<QRadioButton *>(named(new QRadioButton(QStringLiteral("90"), rotationGroup), "RB2"));
    rotation180 = static_cast<QRadioButton *>(named(new QRadioButton(QStringLiteral("180"), rotationGroup), "RB3"));
    rotation270 = static_cast<QRadioButton *>(named(new QRadioButton(QStringLiteral("270"), rotationGroup), "RB4"));
    rotation0->setChecked(true);

    okButton = static_cast<QPushButton *>(named(new QPushButton(this), "bOk"));
    cancelButton = static_cast<QPushButton *>(named(new QPushButton(this), "bCancel"));
    okButton->setDefault(true);

    // Layout: code and type on top, options and rotation side by side, buttons below.
    auto *top = new QGridLayout;
    top->addWidget(codeLabel, 0, 0);
    top->addWidget(codeEdit, 0, 1);
    top->addWidget(typeLabel, 1, 0);
    top->addWidget(typeCombo, 1, 1);

    auto *zoomButtons = new QVBoxLayout;
    zoomButtons->setSpacing(0);
    zoomButtons->addWidget(zoomUpButton);
    zoomButtons->addWidget(zoomDownButton);
    auto *zoomRow = new QHBoxLayout;
    zoomRow->addWidget(zoomLabel);
    zoomRow->addWidget(zoomEdit);
    zoomRow->addLayout(zoomButtons);
    auto *options = new QVBoxLayout(optionsGroup);
    options->addWidget(checkSumBox);
    options->addWidget(viewTextBox);
    options->addLayout(zoomRow);

    auto *rotation = new QVBoxLayout(rotationGroup);
    for (QRadioButton *rb : {rotation0, rotation90, rotation180, rotation270})
        rotation->addWidget(rb);

    auto *groups = new QHBoxLayout;
    groups->addWidget(optionsGroup, 1);
    groups->addWidget(rotationGroup);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);

    auto *all = new QVBoxLayout(this);
    all->addLayout(top);
    all->addLayout(groups);
    all->addLayout(buttons);

    connect(expressionButton, &QAction::triggered, this, [this] { ExprBtnClick(); });
    connect(zoomUpButton, &QToolButton::clicked, this, [this] { frSpeedButton1Click(); });
    connect(zoomDownButton, &QToolButton::clicked, this, [this] { frSpeedButton2Click(); });
    connect(okButton, &QPushButton::clicked, this, [this] { bOkClick(); });
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    FormCreate();
}

void TfrBarCodeForm::FormCreate()
{
    setWindowTitle(GetLocalizedString(53650));
    codeLabel->setText(GetLocalizedString(53651));
    expressionButton->setToolTip(GetLocalizedString(53656));
    typeLabel->setText(GetLocalizedString(53652));
    optionsGroup->setTitle(GetLocalizedString(53653));
    checkSumBox->setText(GetLocalizedString(53654));
    viewTextBox->setText(GetLocalizedString(53655));
    zoomLabel->setText(GetLocalizedString(53659));
    rotationGroup->setTitle(GetLocalizedString(53658));
    okButton->setText(GetLocalizedString(55000));
    cancelButton->setText(GetLocalizedString(55001));
    zoomEdit->setText(QStringLiteral("1"));
    typeCombo->clear();
    for (const TfrBarcodeTypeInfo &t : BarcodeTypes)
        typeCombo->addItem(QString::fromLatin1(t.Name));
    typeCombo->setCurrentIndex(0);
}

void TfrBarCodeForm::SetValues(const TfrBarCodeView &view)
{
    if (!view.Memo.isEmpty())
        codeEdit->setText(view.Memo.first());
    m_result.BarType = view.BarType;
    typeCombo->setCurrentIndex(view.BarType < typeCombo->count() ? view.BarType : -1);
    checkSumBox->setChecked(view.CalcCheckSum);
    viewTextBox->setChecked(view.ShowText);
    zoomEdit->setText(frFloatToStr(view.Zoom));
    if (view.Rotation == 0)
        rotation0->setChecked(true);
    else if (view.Rotation == 90)
        rotation90->setChecked(true);
    else if (view.Rotation == 180)
        rotation180->setChecked(true);
    else
        rotation270->setChecked(true);
}

void TfrBarCodeForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormActivate();
}

void TfrBarCodeForm::FormActivate()
{
    codeEdit->setFocus();
}

void TfrBarCodeForm::ExprBtnClick()
{
    if (!EditorHooks.InsertExpression)
        return;
    const QString expression = EditorHooks.InsertExpression();
    if (!expression.isEmpty())
        codeEdit->setText(expression);
}

void TfrBarCodeForm::frSpeedButton1Click()
{
    double v;
    if (zoomValue(zoomEdit, v))
        zoomEdit->setText(frFloatToStr(v + 1));
}

void TfrBarCodeForm::frSpeedButton2Click()
{
    double v;
    if (zoomValue(zoomEdit, v))
        zoomEdit->setText(frFloatToStr(v - 1 > 0 ? v - 1 : 1));
}

void TfrBarCodeForm::bOkClick()
{
    const QString code = codeEdit->text();
    if (!code.startsWith(QLatin1Char('['))) {
        TfrBarcode trial;
        trial.SetText(code);
        trial.SetChecksum(checkSumBox->isChecked());
        trial.SetTyp(typeCombo->currentIndex());
        QImage image(16, 16, QImage::Format_RGB32);
        QPainter painter(&image);
        try {
            trial.RenderTo(&painter);
        } catch (const std::exception &) {
            painter.end();
            orv::prompt().message(this, GetLocalizedString(55206), GetLocalizedString(55339),
                                  QMessageBox::Critical);
            return;
        }
    }
    double zoom = 1;
    QString zoomError;
    if (!zoomValue(zoomEdit, zoom, &zoomError)) {
        orv::prompt().message(this, GetLocalizedString(55206), zoomError, QMessageBox::Critical);
        zoomEdit->setFocus();
        return;
    }
    m_result.Code = code;
    if (typeCombo->currentIndex() >= 0)   // else a stored type the list does not know stays
        m_result.BarType = typeCombo->currentIndex();
    m_result.CheckSum = checkSumBox->isChecked();
    m_result.ViewText = viewTextBox->isChecked();
    m_result.Zoom = zoom;
    m_result.Rotation = rotation90->isChecked() ? 90 : rotation180->isChecked() ? 180
                        : rotation270->isChecked() ? 270 : 0;
    accept();
}
