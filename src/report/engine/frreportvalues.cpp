// Report values: the parser's value and function handlers during a build, the
// report's own script procedures and the expansion of a text object's brackets.
#include "report/engine/frbuild.h"
#include "report/engine/frdictionary.h"
#include "report/engine/frformat.h"
#include "report/engine/frfunclib.h"
#include "report/engine/frglobals.h"
#include "report/engine/frlocale.h"
#include "report/engine/frmemo.h"
#include "report/engine/frreport.h"
#include "report/engine/frstrings.h"

namespace {

QVariant calc(const QVariant &source)
{
    frEnsureGlobals();
    return GlobalParser->Calculate(source.toString());
}

// Index text of an array element: a text value as it is, any other value as its whole number.
QString indexText(const QVariant &v)
{
    if (frVarKind(v) == TfrVarKind::Text)
        return v.toString();
    return QString::number(frVarToInt(v));
}

TfrObject *objectOf(const QString &name, QString &property)
{
    TfrObject *obj = nullptr;
    FindObjectAndProperty(name, obj, property, [](int pageNo) -> TfrObject * {
        return CurrentReport ? CurrentReport->Pages().GetPage(pageNo - 1) : nullptr;
    });
    return obj;
}
} // namespace

void TfrReport::GetValue(const QString &name, QVariant &value)
{
    value = frUnassigned();
    if (OnGetValue)
        OnGetValue(name, value);
    if (!frIsUnassigned(value))
        return;
    value = 0;
    if (m_dictionary->IsVariable(name)) {
        value = m_dictionary->GetValue(name);
        return;
    }
    TfrPage *page = CurrentPage;
    if (name == QLatin1String("VALUE")) {
        value = CurrentValue;
    } else if (name == QLatin1String("PAGE#")) {
        value = PageNo + 1;
    } else if (name == QLatin1String("DATE")) {
        value = CurrentDate;
    } else if (name == QLatin1String("TIME")) {
        value = CurrentTime;
    } else if (name == QLatin1String("LINE#")) {
        TfrBand *b = CounterBand();
        value = b ? b->LineNo : 0;
    } else if (name == QLatin1String("LINETHROUGH#")) {
        TfrBand *b = CounterBand();
        value = b ? b->LineThrough : 0;
    } else if (name == QLatin1String("COLUMN#")) {
        value = page ? page->CrossColumn : 0;
    } else if (name == QLatin1String("CURRENT#")) {
        value = page ? page->RecordNo : 0;
    } else if (name == QLatin1String("TOTALPAGES")) {
        value = TotalPages;
    } else if (name == QLatin1String("REPORTCOMMENT")) {
        value = Attributes.Comment;
    } else if (name == QLatin1String("REPORTNAME")) {
        value = Attributes.ReportName;
    } else if (name == QLatin1String("REPORTAUTOR")) {
        value = Attributes.Author;
    } else if (name == QLatin1String("VMAJOR")) {
        value = Attributes.VMajor;
    } else if (name == QLatin1String("VMINOR")) {
        value = Attributes.VMinor;
    } else if (name == QLatin1String("VRELEASE")) {
        value = Attributes.VRelease;
    } else if (name == QLatin1String("VBUILD")) {
        value = Attributes.VBuild;
    } else if (name == QLatin1String("REPORTDATE")) {
        value = frDoubleToDateTime(Attributes.CreationDate);
    } else if (name == QLatin1String("REPORTLASTCHANGE")) {
        value = frDoubleToDateTime(Attributes.LastChangeDate);
    } else if (name == QLatin1String("CALCWIDTH")) {
        if (!CurrentView)
            value = 0;
        else if (CurrentView->TypeCode == 0)
            value = static_cast<TfrMemoView *>(CurrentView)->CalcWidth(CurrentView->Memo);
        else
            value = CurrentView->Width;
    } else if (GlobalVariables && GlobalVariables->Contains(name)) {
        value = GlobalVariables->GetValue(name);
    } else {
        QVariant engine = frUnassigned();
        GetEngineValue(name, engine);
        if (!frIsUnassigned(engine)) {
            value = engine;
        } else if (name != EvaluatingName) {
            EvaluatingName = name;
            try {
                value = calc(name);
            } catch (...) {
                EvaluatingName.clear();
                throw;
            }
            EvaluatingName.clear();
        } else if (!AggregatePrepare) {
            throw EfrParserError(GetLocalizedString(frRes::UndefinedSymbol) + QLatin1String(" \"") + name
                                 + QLatin1Char('"'));
        }
    }
}

void TfrReport::GetEngineValue(const QString &name, QVariant &value)
{
    TfrPage *page = CurrentPage;
    const QString up = name.toUpper();
    if (page && up == QLatin1String("CURY")) {
        value = page->CurY;
        return;
    }
    if (page && up == QLatin1String("FREESPACE")) {
        value = page->BottomLimit - page->CurY;
        return;
    }
    if (up == QLatin1String("FINALPASS")) {
        value = MasterReport ? MasterReport->FinalPass : FinalPass;
        return;
    }
    if (page && up == QLatin1String("PAGEHEIGHT")) {
        value = page->BottomLimit;
        return;
    }
    if (page && up == QLatin1String("PAGEWIDTH")) {
        value = page->RightMargin();
        return;
    }
    if (name.contains(QLatin1Char('.'))) {
        QString property;
        TfrObject *obj = nullptr;
        try {
            obj = objectOf(name, property);
        } catch (const std::exception &) {
            obj = nullptr;
        }
        if (obj) {
            EnsurePropList(obj);
            if (obj->FindPropRec(property)) {
                value = obj->GetPropValue(property);
                return;
            }
        }
    }
    if (ScriptConstants && ScriptConstants->Contains(name))
        value = ScriptConstants->GetValue(name);
}

void TfrReport::RunFunction(const QString &name, const QVariant &p1, const QVariant &p2, const QVariant &p3,
                            QVariant &val)
{
    val = QStringLiteral("0");
    if (frCallFunctionLibraries(name, p1, p2, p3, val))
        return;
    DoScriptProcedure(name, p1, p2, p3, val);
    if (OnUserFunction)
        OnUserFunction(name, p1, p2, p3, val);
}

void TfrReport::DoScriptProcedure(const QString &name, const QVariant &p1, const QVariant &p2, const QVariant &p3,
                                  QVariant &val)
{
    const QString up = name.toUpper();
    if (up == QLatin1String("STOPREPORT")) {
        if (CurrentReport)
            CurrentReport->StopRequested = true;
    } else if (up == QLatin1String("NEWPAGE")) {
        if (CurrentBand)
            ++CurrentBand->ForceNewPage;
    } else if (up == QLatin1String("NEWCOLUMN")) {
        if (CurrentBand)
            ++CurrentBand->ForceNewColumn;
    } else if (up == QLatin1String("SHOWBAND")) {
        if (CurrentPage)
            CurrentPage->ShowBandByName(p1.toString().trimmed());
    } else if (up == QLatin1String("INC") || up == QLatin1String("DEC")) {
        const QString target = p1.toString().trimmed();
        QVariant v;
        GetValue(target, v);
        const QVariant next = up == QLatin1String("INC") ? frVarAdd(v, 1) : frVarSub(v, 1);
        if (ScriptHooks.SetValue) {
            ScriptHooks.SetValue(target, next);
        } else {
            frEnsureGlobals();
            GlobalVariables->SetValue(target, next);
        }
    } else if (up == QLatin1String("SETARRAY") || up == QLatin1String("GETARRAY")) {
        const QString target = p1.toString().trimmed();
        const QVariant index = calc(p2);
        if (target.contains(QLatin1Char('.'))) {
            QString property;
            TfrObject *obj = objectOf(target, property);
            if (!obj)
                return;
            if (up == QLatin1String("SETARRAY"))
                obj->DoMethod(QStringLiteral("SETINDEXPROPERTY"), property.toUpper(), calc(p3), index, val);
            else
                obj->DoMethod(QStringLiteral("GETINDEXPROPERTY"), property.toUpper(), index, QVariant(), val);
            return;
        }
        frEnsureGlobals();
        const QString key = QStringLiteral("Arr_") + target + QLatin1Char('_') + indexText(index);
        if (up == QLatin1String("SETARRAY"))
            GlobalVariables->SetValue(key, calc(p3));
        else
            val = GlobalVariables->GetValue(key);
    } else if (name.contains(QLatin1Char('.'))) {
        QString method;
        TfrObject *obj = nullptr;
        try {
            obj = objectOf(name, method);
        } catch (const std::exception &) {
            obj = nullptr;
        }
        if (obj)
            obj->DoMethod(method.toUpper(), p1, p2, p3, val);
    }
}

void TfrReport::ExpandBracket(const QString &text, QString &result)
{
    EvaluatingName.clear();
    qint32 code = CurrentView ? CurrentView->DisplayFormat : 0;
    QString formatText = CurrentView ? CurrentView->FormatText : QString();
    QString expression = text;
    const int at = int(text.indexOf(QLatin1String(" #")));
    if (at >= 0) {
        QString f = text.mid(at + 2);
        expression = text.left(at);
        if (!f.isEmpty() && f[0].isDigit())
            f.prepend(QLatin1Char('N'));
        const QChar kind = f.isEmpty() ? QChar() : f[0].toUpper();
        if (kind == QLatin1Char('N')) {
            const bool fixed = f.size() > 1 && f[1].isDigit();
            int type = fixed ? 1 : 0;
            int decimals = 0;
            int sepChar = GetEngineLocale()->DecimalSeparator.unicode() & 0xFF;
            for (int i = int(f.size()) - 1; i >= 1; --i) {
                const QChar c = f[i];
                if (c == QLatin1Char(',') || c == QLatin1Char('-') || c == QLatin1Char('.')) {
                    sepChar = c.unicode();
                    f[i] = QLatin1Char('.');
                    if (fixed)
                        decimals = int(f.size()) - 1 - i;
                    break;
                }
            }
            if (!fixed) {
                formatText = f.mid(1);
                type = 4;
            }
            code = (1 << 24) | (type << 16) | ((decimals & 0xFF) << 8) | (sepChar & 0xFF);
        } else if (kind == QLatin1Char('B')) {
            code = (4 << 24) | (4 << 16);
            formatText = f.mid(1);
        } else if (kind == QLatin1Char('D') || kind == QLatin1Char('T')) {
            code = (2 << 24) | (4 << 16);
            formatText = f.mid(1);
        }
    }
    CurrentExpression = expression;
    CurrentValue = 0;
    QVariant v;
    GetValue(expression, v);
    CurrentValue = v;
    if (CurrentView && (CurrentView->Flags & flHideZeros) && frVarKind(v) != TfrVarKind::Text) {
        try {
            if (!frIsNull(v) && frVarCompare(v, 0) == 0)
                v = QString();
        } catch (...) {
        }
    }
    if (!AggregatePrepare)
        result = FormatValue(v, code, formatText);
}
