#pragma once
// The program's string table of the report engine and designer (resource strings
// 53000 to 58104). Read texts with GetLocalizedString (frlocale.h); this header gives
// the raw table and named ids.
//
// Every id the engine and the designer read is in the table with its text. The
// designer window's own captions, hints and menu texts are numbered
// from 53081 on in the order of the window's controls, consistent with 53080 "设计器"
// and 53091-53093, the cut, copy and paste hints shared with the memo editor. Use the
// Dsg* names below for them.
#include <QList>
#include <QString>

// The raw table: the text of an id, or a null QString when the id is not in the table
// (an id present with an empty text, like 55193, gives an empty non-null QString).
QString frResourceString(int id);
bool frHasResourceString(int id);
QList<int> frResourceStringIds();   // sorted

namespace frRes {
enum : int {
    Ok = 55000,                 // "确认"
    Cancel = 55001,             // "取消"
    PageWord = 55004,           // "页"
    DeletePageQuestion = 55005, // "删除该页吗?"
    Confirm = 55006,            // "确认" (message box caption)
    VirtualPrinter = 55007,     // "虚拟打印机"
    PaperNamesFirst = 55008,    // 55008..55074 paper names of the paper table
    SystemVariables = 55075,    // "系统变量"
    NoneBracketed = 55076,      // "[无]"
    BandTypeNamesFirst = 55077, // 55077..55099 band types 0..22
    FormatNamesFirst = 55150,   // 55150 + 5*category + type (display-format dialog)
    BooleanFormatsFirst = 55170,
    DateFormatsFirst = 55175,
    TimeFormatsFirst = 55179,
    PageOf = 55199,             // "从"
    CalcError = 55200,          // "计算时发生错误"
    ReportColon = 55201,        // "报表:"
    ObjectColon = 55202,        // "对象:"
    PreparingReport = 55203,    // "正在准备报表"
    FirstPass = 55204,          // "进行第一次处理:"
    ProcessingPage = 55205,     // "正在处理页:"
    Error = 55206,              // "错误"
    Preview = 55207,            // "预览"
    Untitled = 55209,           // "Untitled"
    DictionaryFiles = 55215,    // "报表字典"
    SaveChanges = 55306,        // "保存变动"
    EngineCharset = 55337,      // "1"
    UnsupportedFrf = 55345,     // "不支持的FRF格式"
    AllFunctions = 55348,       // "所有函数"
    UndefinedSymbol = 55439,    // "符号没定义"
    PropAliasesFirst = 58001,   // 58001..58104 "Name=" entries

    // Designer window texts (LocalizeDesigner), in the order of the controls.
    DesignerCaption = 53080,    // "设计器"
    DsgPanel1 = 53081,          // "矩形"  (Panel1..Panel6: 53081..53086)
    DsgFileBtn1 = 53087,        // "新建报表" (FileBtn1..4: 53087..53090)
    DsgCutB = 53091, DsgCopyB = 53092, DsgPstB = 53093,
    DsgUndoB = 53094, DsgRedoB = 53095, DsgZB1 = 53096, DsgZB2 = 53097, DsgSelAllB = 53098,
    DsgPgB1 = 53099, DsgPgB2 = 53100, DsgPgB3 = 53101, DsgPgB4 = 53102,
    DsgGB1 = 53103, DsgGB2 = 53104, DsgGB3 = 53105, DsgHelpBtn = 53106,
    DsgExitBCaption = 53107, DsgExitBHint = 53108,
    DsgAlB1 = 53109,            // AlB1..AlB8: 53109..53116
    DsgFnB1 = 53117, DsgFnB2 = 53118, DsgFnB3 = 53119, DsgClB2 = 53120, DsgHlB1 = 53121,
    DsgC3 = 53122, DsgC2 = 53123,
    DsgFrB1 = 53124,            // FrB1..FrB6: 53124..53129
    DsgClB1 = 53130, DsgClB3 = 53131, DsgC4 = 53132, DsgStB1 = 53133,
    DsgOB1 = 53134,             // OB1..OB6: 53134..53139
    DsgAlign1 = 53140,          // Align1..Align10: 53140..53149
    DsgN2 = 53150, DsgN1 = 53151, DsgN3 = 53152, DsgN5 = 53153, DsgN16 = 53154, DsgN6 = 53155,
    DsgFileMenu = 53156, DsgN23 = 53157, DsgN19 = 53158, DsgN20 = 53159, DsgN17 = 53160,
    DsgN42 = 53161, DsgN8 = 53162, DsgN25 = 53163, DsgN39 = 53164, DsgN10 = 53165,
    DsgEditMenu = 53166, DsgN46 = 53167, DsgN48 = 53168, DsgN11 = 53169, DsgN12 = 53170,
    DsgN13 = 53171, DsgN27 = 53172, DsgN28 = 53173, DsgN36 = 53174, DsgN29 = 53175,
    DsgN15 = 53176, DsgN30 = 53177, DsgN32 = 53178, DsgN33 = 53179,
    DsgToolMenu = 53180, DsgN37 = 53181,
    DsgPan1 = 53182,            // Pan1..Pan8: 53182..53189
    DsgMastMenu = 53190, DsgN14 = 53191, DsgN22 = 53192, DsgN35 = 53193, DsgN34 = 53194,
};
} // namespace frRes
