// The check of the values before an export.
#include "app/options/ExportOptionsPanel.h"

#include "app/options/Stepper.h"
#include "common/RunAlertSheet.h"

#include <QLineEdit>

ExportOptionValidation::FieldTexts ExportOptionsPanel::fieldTexts() const
{
    ExportOptionValidation::FieldTexts texts;
    for (std::size_t i = 0; i < m_fields.size(); ++i)
        texts[i] = m_fields[i]->text();
    return texts;
}

bool ExportOptionsPanel::ISExportOptionValid()
{
    namespace V = ExportOptionValidation;
    // The values the export takes, which a field shown rounded in another unit only stands for.
    V::FieldValues values;
    for (std::size_t i = 0; i < m_fields.size(); ++i)
        values[i] = exportedValue(i);
    const std::optional<V::Problem> problem = V::findProblem(fieldTexts(), values);
    if (!problem)
        return true;
    const QString discard = problem->offersDiscard ? V::kDiscardButton : QString();
    const int answer = RunAlertSheet(problem->title, V::kInformativeText, V::kOkButton, discard, QString(), window());
    if (problem->offersDiscard && answer == 0) {
        field(problem->focus)->clear();
        stepper(problem->focus)->setValue(0.0);
    }
    window()->raise();
    window()->activateWindow();
    field(problem->focus)->setFocus(Qt::OtherFocusReason);
    return false;
}
