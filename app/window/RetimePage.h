#pragma once
// TRetimePage: the window's "Retime" page. It solves the SOI map for a
// wanted EOI on the SOI grid (the map core's Retime) and prints it in the
// map text layout, ready to be copied back into the map editor: SOIs moved
// earlier in blue, later in red, cells held by a limit purple and bold.
// The target is the kept baseline's EOI, one EOI everywhere, a share of the
// injection before TDC, or a target EOI map pasted into its own pane. It
// recomputes on every change of its edits and whenever the window hands it
// a new chain. GUI thread only.

#include "ElidedLabel.h"
#include "Map.h"
#include "Pipeline.h"
#include "Retime.h"
#include "VynMemo.h"
#include "VynRichEdit.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

#include <memory>

class TRetimePage : public QWidget {
    Q_OBJECT

public:
    explicit TRetimePage(QWidget* parent = nullptr);

    // The targets in the order of ComboRetimeTarget.
    enum TargetChoice { BaselineEoi, ConstantEoi, BeforeTdc, TargetEoiMap };

    QLabel* LabelRetimeHeading = nullptr;
    QComboBox* ComboRetimeTarget = nullptr;
    QLineEdit* EditRetimeTarget = nullptr; // degrees, or percent before TDC
    QLabel* LabelRetimeTargetUnit = nullptr;
    QLineEdit* EditRetimeMin = nullptr; // empty: no limit
    QLineEdit* EditRetimeMax = nullptr;
    QLineEdit* EditRetimeStep = nullptr;
    TElidedLabel* LabelBaseline = nullptr;
    QPushButton* ButtonClearBaseline = nullptr;
    TVynMemo* VynMemoTargetEoiMap = nullptr; // shown for TargetEoiMap
    TElidedLabel* LabelTargetEoiReport = nullptr;
    TVynRichEdit* VynRichEditNewSoiMap = nullptr;
    TVynRichEdit* VynRichEditNewSoiMapData = nullptr; // hidden: the copied rows
    QPushButton* ButtonRetimeCopyMap = nullptr;
    QPushButton* ButtonRetimeCopyData = nullptr;
    TElidedLabel* LabelRetimeSummary = nullptr;

    // The pasted target EOI map and what reading it found.
    Map TargetMap;
    ParseReport TargetReport;
    // The last retiming; valid while Problem() is empty.
    std::unique_ptr<TRetimeResult> Result = std::make_unique<TRetimeResult>();

    // The chain to retime: the window's derived maps and SOI map, null while
    // a map is missing. Both must outlive the page or be replaced first.
    void SetChain(const DerivedMaps* derived, const Map* soi);
    // The kept baseline's EOI map (on its own grid), or null.
    void SetBaselineEoi(const Map* eoi);
    // Recomputes and reprints the new SOI map and the summary line.
    void Recalculate();
    // Why there is no new SOI map (empty when there is one), as the summary
    // line says it.
    const QString& Problem() const { return m_problem; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void LayOut();
    void TargetChosen();
    // The limits and step from their edits, or the reason they cannot be.
    QString ReadLimits(TRetimeLimits& limits) const;

    const DerivedMaps* m_derived = nullptr;
    const Map* m_soi = nullptr;
    const Map* m_baselineEoi = nullptr;
    QString m_problem;
};
