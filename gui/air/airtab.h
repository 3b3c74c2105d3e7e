#pragma once

#include "core/air/criteria.h"
#include "core/calc/runstate.h"
#include "core/files/airfile.h"
#include "core/files/airreport.h"

#include <QStringList>
#include <QWidget>

#include <memory>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace lv::gui {

class AirTableModel;
class Prompts;

// The tab "Luftbehov": the fresh-air demand of the run's stretches (those of the result list)
// under the parameters of a criteria file, a traffic situation and the tunnel's own values.
// The core computes every row; the tab puts them into its model whenever a parameter or the
// stretches change.
class AirTab : public QWidget
{
    Q_OBJECT

public:
    explicit AirTab(Prompts &prompts, QWidget *parent = nullptr);

    // Reads a criteria file; a faulty one is named under the parameters and nothing computes.
    void loadCriteriaFile(const QString &path);
    // The run and the labels of the result list's rows; the table follows them.
    void setStretches(std::shared_ptr<const calc::RunState> run, const QStringList &labels);

    // The tunnel's own values as the fields give them (for its .luft file), and putting those
    // of a .luft file in the fields; a situation the criteria file lacks is named in the
    // returned note and the file's own values are used.
    files::TunnelAir tunnelAir() const;
    QString setTunnelAir(const files::TunnelAir &air);

    // The report's section, or nothing when the parameters do not compute.
    std::optional<files::AirReport> report() const;
    const AirTableModel &model() const { return *m_model; }

signals:
    // A field saved in the .luft file changed.
    void tunnelAirChanged();

private:
    QLayout *createParameterFields();
    void recompute();
    Expected<air::Criteria> criteriaInForce() const;
    void chooseCriteriaFile();
    void copySelectedRows();

    Prompts &m_prompts;
    std::optional<air::CriteriaFile> m_file;
    QString m_fileProblem; // why the criteria file could not be read
    std::shared_ptr<const calc::RunState> m_run;
    QStringList m_labels;

    AirTableModel *m_model = nullptr;
    QTableView *m_view = nullptr;
    QLabel *m_criteriaLabel = nullptr;
    QPushButton *m_chooseButton = nullptr;
    QComboBox *m_situationCombo = nullptr;
    QComboBox *m_criterionCombo = nullptr;
    QLineEdit *m_areaEdit = nullptr;
    QCheckBox *m_reverseCheck = nullptr;
    QLineEdit *m_flowEdit = nullptr;
    QLabel *m_problemLabel = nullptr;
};

} // namespace lv::gui
