#pragma once
// A receiving window as the purchase, sales and internal-document windows will be one: it keeps
// its goods lines in the goods line grid, takes each picked line on WM_FIT_CHOSEN (a goods already
// in the grid is selected and TargetRow lowered), opens the line editor on the current line with
// its own gMdfMode, recomputes its totals on WM_FIT_MDF, and records what arrived. As an audit
// window it records the audit messages.
#include "app/appglobals.h"
#include "goods/frmmdf.h"
#include "goods/goodslines.h"
#include "goods/lineediting.h"

#include <QList>
#include <QWidget>
#include <stdexcept>

class DocReceiver : public QWidget, public orv::MessageReceiver, public orv::GoodsLineHost {
public:
    explicit DocReceiver(int mdfMode = 1, orv::GoodsLineLayout layout = orv::GoodsLineLayout::Standard16)
        : lines(layout), m_mode(mdfMode)
    {
        // On show, on clearing and after saving the window starts counting rows again.
        orv::G.gRepFit.TargetRow = 0;
    }

    orv::GoodsLineGrid lines;
    orv::GoodsLineGrid::Totals totals;
    int current = 0;          // the grid's current row
    QList<int> messages;      // every message, in order
    QList<orv::repairFit> arrived; // gRepFit as each WM_FIT_CHOSEN found it
    bool failNextLine = false; // the next WM_FIT_CHOSEN fails (a receiver's error)

    orv::GoodsLineGrid *goodsLines() override { return &lines; }
    int currentGoodsLine() const override { return current; }

    void onWindowMessage(int message) override
    {
        messages << message;
        switch (message) {
        case orv::WM_FIT_CHOSEN: {
            if (std::exchange(failNextLine, false))
                throw std::runtime_error("接收货品失败");
            arrived << orv::G.gRepFit;
            const auto taken = lines.take(orv::G.gRepFit);
            current = taken.row;
            if (taken.openEditor)
                orv::openLineEditor(this, m_mode);
            totals = lines.totals();
            break;
        }
        case orv::WM_FIT_MDF:
            totals = lines.totals();
            break;
        default:
            break;
        }
    }

private:
    int m_mode;
};
