#include "app/options/ExportOptionsPanel.h"

#include "app/encoding/EncodingMenu.h"
#include "app/options/PageValueText.h"
#include "app/options/FixedPageSizes.h"
#include "app/options/PageUnits.h"
#include "app/options/Stepper.h"
#include "app/presets/PageSizePresetDialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPageLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

#include <algorithm>

namespace {

QLineEdit* makeValueField(const QString& name, QWidget* parent)
{
    auto* field = new QLineEdit(parent);
    field->setObjectName(name);
    field->setAlignment(Qt::AlignRight);
    field->setMaximumWidth(90);
    return field;
}

Stepper* makeStepper(const QString& name, QWidget* parent)
{
    auto* stepper = new Stepper(parent);
    stepper->setObjectName(name);
    stepper->setLimits(0.0, ExportOptionsPanel::kMaximumValue);
    stepper->setIncrement(1.0);
    return stepper;
}

QLineEdit* makeTextField(const QString& name, QWidget* parent)
{
    auto* field = new QLineEdit(parent);
    field->setObjectName(name);
    return field;
}

// A popup as wide as a few words rather than its longest item (an encoding's name, a preset's):
// the panel has to fit beside the list on a small screen.
void keepPopupNarrow(QComboBox& popup)
{
    popup.setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    popup.setMinimumContentsLength(10);
}

void fillPageSizePopup(QComboBox& popup)
{
    popup.addItem(QStringLiteral("Custom"));
    popup.insertSeparator(FixedPageSizes::kFirstSeparatorIndex);
    for (int index = FixedPageSizes::kFirstFixedIndex; index <= FixedPageSizes::kLastFixedIndex; ++index)
        popup.addItem(QString::fromLatin1(FixedPageSizes::paperSizeAt(index)->title));
    popup.insertSeparator(FixedPageSizes::kSecondSeparatorIndex);
}

void fillUnitPopup(QComboBox& popup)
{
    for (const int tag : PageUnits::kTags)
        popup.addItem(PageUnits::unitTitle(tag), tag);
}

QHBoxLayout* fieldWithStepper(QLineEdit* field, Stepper* stepper)
{
    // The stepper as tall as its field, as a field's label is placed for a row of one field: a
    // taller stepper made the row taller and left the label above the middle of its field.
    stepper->setFixedHeight(field->sizeHint().height());
    for (QToolButton* arrow : stepper->findChildren<QToolButton*>()) {
        arrow->setMinimumHeight(0);
        arrow->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Ignored);
    }
    stepper->setKeyboardField(field);
    auto* row = new QHBoxLayout;
    row->setSpacing(2);
    row->addWidget(field);
    row->addWidget(stepper);
    row->addStretch();
    return row;
}

// The document fields give "" rather than a null text when they are empty.
QString textOrEmpty(const QLineEdit* field)
{
    const QString text = field->text();
    return text.isNull() ? QStringLiteral("") : text;
}

} // namespace

ExportOptionsPanel::ExportOptionsPanel(QWidget* parent)
    : QWidget(parent)
{
    buildControls();
    m_presetDialog = new PageSizePresetDialog(*this);
    connectControls();
    initEncodingMenu(*m_outlets.textEncodingPopupOutlet, m_encodingNames);
    m_outlets.textEncodingPopupOutlet->setCurrentIndex(0);
    for (QComboBox* popup : {m_outlets.PageSizePopupOutlet, m_outlets.inSizeTypePopupOutlet, m_outlets.textEncodingPopupOutlet})
        keepPopupNarrow(*popup);
    restorePageSizeSelection();
}

ExportOptionsPanel::~ExportOptionsPanel() = default;

void ExportOptionsPanel::buildControls()
{
    ExportOptionsOutlets& o = m_outlets;
    o.PageSizePopupOutlet = new QComboBox(this);
    o.PageSizePopupOutlet->setObjectName(QStringLiteral("PageSizePopupOutlet"));
    fillPageSizePopup(*o.PageSizePopupOutlet);
    o.savePresetButtonOutlet = new QPushButton(QStringLiteral("Presets…"), this);
    o.savePresetButtonOutlet->setObjectName(QStringLiteral("savePresetButtonOutlet"));
    o.inSizeTypePopupOutlet = new QComboBox(this);
    o.inSizeTypePopupOutlet->setObjectName(QStringLiteral("inSizeTypePopupOutlet"));
    fillUnitPopup(*o.inSizeTypePopupOutlet);

    o.widthEditFieldOutlet = makeValueField(QStringLiteral("widthEditFieldOutlet"), this);
    o.heightEditFieldOutlet = makeValueField(QStringLiteral("heightEditFieldOutlet"), this);
    o.leftEditFieldOutlet = makeValueField(QStringLiteral("leftEditFieldOutlet"), this);
    o.topEditFieldOutlet = makeValueField(QStringLiteral("topEditFieldOutlet"), this);
    o.rightEditFieldOutlet = makeValueField(QStringLiteral("rightEditFieldOutlet"), this);
    o.bottomEditFieldOutlet = makeValueField(QStringLiteral("bottomEditFieldOutlet"), this);
    o.widthStepperOutlet = makeStepper(QStringLiteral("widthStepperOutlet"), this);
    o.heightStepperOutlet = makeStepper(QStringLiteral("heightStepperOutlet"), this);
    o.leftStepperOutlet = makeStepper(QStringLiteral("leftStepperOutlet"), this);
    o.topStepperOutlet = makeStepper(QStringLiteral("topStepperOutlet"), this);
    o.rightStepperOutlet = makeStepper(QStringLiteral("rightStepperOutlet"), this);
    o.bottomStepperOutlet = makeStepper(QStringLiteral("bottomStepperOutlet"), this);
    m_fields = {o.widthEditFieldOutlet, o.heightEditFieldOutlet, o.leftEditFieldOutlet,
                o.topEditFieldOutlet, o.rightEditFieldOutlet, o.bottomEditFieldOutlet};
    m_steppers = {o.widthStepperOutlet, o.heightStepperOutlet, o.leftStepperOutlet,
                  o.topStepperOutlet, o.rightStepperOutlet, o.bottomStepperOutlet};

    auto* portrait = new QRadioButton(QStringLiteral("Portrait"), this);
    auto* landscape = new QRadioButton(QStringLiteral("Landscape"), this);
    o.orientationRadioButtonOutlet = new QButtonGroup(this);
    o.orientationRadioButtonOutlet->addButton(portrait, QPageLayout::Portrait);
    o.orientationRadioButtonOutlet->addButton(landscape, QPageLayout::Landscape);
    portrait->setChecked(true);

    o.textEncodingPopupOutlet = new QComboBox(this);
    o.textEncodingPopupOutlet->setObjectName(QStringLiteral("textEncodingPopupOutlet"));
    o.exportHyperlinks = new QCheckBox(QStringLiteral("Export hyperlinks"), this);
    o.exportHyperlinks->setChecked(true);
    o.exportTOC = new QCheckBox(QStringLiteral("Export table of contents as PDF outline"), this);
    o.exportTOC->setChecked(true);
    o.mTitleEditFieldOutlet = makeTextField(QStringLiteral("mTitleEditFieldOutlet"), this);
    o.mAuthorEditFieldOutlet = makeTextField(QStringLiteral("mAuthorEditFieldOutlet"), this);
    o.mSubjectEditFieldOutlet = makeTextField(QStringLiteral("mSubjectEditFieldOutlet"), this);
    o.mKeywordsEditFieldOutlet = makeTextField(QStringLiteral("mKeywordsEditFieldOutlet"), this);

    auto* pageRow = new QHBoxLayout;
    pageRow->addWidget(o.PageSizePopupOutlet, 1);
    pageRow->addWidget(o.savePresetButtonOutlet);
    auto* orientationRow = new QHBoxLayout;
    orientationRow->addWidget(portrait);
    orientationRow->addWidget(landscape);
    orientationRow->addStretch();

    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("Page size:"), pageRow);
    form->addRow(QStringLiteral("Units:"), o.inSizeTypePopupOutlet);
    form->addRow(QStringLiteral("Width:"), fieldWithStepper(o.widthEditFieldOutlet, o.widthStepperOutlet));
    form->addRow(QStringLiteral("Height:"), fieldWithStepper(o.heightEditFieldOutlet, o.heightStepperOutlet));
    form->addRow(QStringLiteral("Left margin:"), fieldWithStepper(o.leftEditFieldOutlet, o.leftStepperOutlet));
    form->addRow(QStringLiteral("Top margin:"), fieldWithStepper(o.topEditFieldOutlet, o.topStepperOutlet));
    form->addRow(QStringLiteral("Right margin:"), fieldWithStepper(o.rightEditFieldOutlet, o.rightStepperOutlet));
    form->addRow(QStringLiteral("Bottom margin:"), fieldWithStepper(o.bottomEditFieldOutlet, o.bottomStepperOutlet));
    form->addRow(QStringLiteral("Orientation:"), orientationRow);
    form->addRow(QStringLiteral("Text encoding:"), o.textEncodingPopupOutlet);
    form->addRow(o.exportHyperlinks);
    form->addRow(o.exportTOC);
    form->addRow(QStringLiteral("Title:"), o.mTitleEditFieldOutlet);
    form->addRow(QStringLiteral("Author:"), o.mAuthorEditFieldOutlet);
    form->addRow(QStringLiteral("Subject:"), o.mSubjectEditFieldOutlet);
    form->addRow(QStringLiteral("Keywords:"), o.mKeywordsEditFieldOutlet);
}

void ExportOptionsPanel::connectControls()
{
    // Only the user's own edits and choices count: "activated" and "textEdited" are not sent when
    // the panel itself rewrites a control.
    for (QLineEdit* valueField : m_fields)
        connect(valueField, &QLineEdit::textEdited, this, [this, valueField] { controlTextDidChange(valueField); });
    for (Stepper* valueStepper : m_steppers)
        connect(valueStepper, &Stepper::stepped, this, [this, valueStepper] { StepperControlDidChange(valueStepper); });
    connect(m_outlets.PageSizePopupOutlet, &QComboBox::activated, this, &ExportOptionsPanel::ChangePageSizePresetPopup);
    connect(m_outlets.inSizeTypePopupOutlet, &QComboBox::activated, this, &ExportOptionsPanel::ChangeSizeInTypePopup);
    connect(m_outlets.savePresetButtonOutlet, &QPushButton::clicked, this, &ExportOptionsPanel::AddPresetAction);
}

QLineEdit* ExportOptionsPanel::field(ValueField which) const
{
    return m_fields[static_cast<std::size_t>(which)];
}

Stepper* ExportOptionsPanel::stepper(ValueField which) const
{
    return m_steppers[static_cast<std::size_t>(which)];
}

double ExportOptionsPanel::GetSizeTypeFactor() const
{
    return PageUnits::SizeTypeFactor(m_currentSizeFormatType);
}

ExportOptionsPanel::PageGeometry ExportOptionsPanel::pageGeometryInPoints() const
{
    // A unit without a factor counts as points.
    // A value kept from before a unit change is exported as it was entered, not as shown.
    const auto points = [this](ValueField which) {
        const EnteredValue value = enteredValue(std::size_t(which));
        const double factor = std::max(1.0, PageUnits::SizeTypeFactor(value.unitTag));
        return double(float(PageValueText::leadingValue(value.text))) * factor;
    };
    return {points(ValueField::Width), points(ValueField::Height), points(ValueField::Left),
            points(ValueField::Right), points(ValueField::Top), points(ValueField::Bottom)};
}

unsigned ExportOptionsPanel::orientation() const
{
    const int id = m_outlets.orientationRadioButtonOutlet->checkedId();
    return id < 0 ? unsigned(QPageLayout::Portrait) : unsigned(id);
}

bool ExportOptionsPanel::exportsHyperlinks() const
{
    return m_outlets.exportHyperlinks->isChecked();
}

bool ExportOptionsPanel::exportsTOC() const
{
    return m_outlets.exportTOC->isChecked();
}

QString ExportOptionsPanel::GetCurrentEncodingName() const
{
    return ::GetCurrentEncodingName(*m_outlets.textEncodingPopupOutlet, m_encodingNames);
}

QString ExportOptionsPanel::documentTitle() const { return textOrEmpty(m_outlets.mTitleEditFieldOutlet); }
QString ExportOptionsPanel::documentAuthor() const { return textOrEmpty(m_outlets.mAuthorEditFieldOutlet); }
QString ExportOptionsPanel::documentSubject() const { return textOrEmpty(m_outlets.mSubjectEditFieldOutlet); }
QString ExportOptionsPanel::documentKeywords() const { return textOrEmpty(m_outlets.mKeywordsEditFieldOutlet); }

void ExportOptionsPanel::AddPresetAction()
{
    m_presetDialog->AddPresetAction();
}
