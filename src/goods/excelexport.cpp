#include "goods/excelexport.h"
#include "common/clock.h"
#include "common/prompt.h"

#include <QAbstractItemModel>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

#include <xlsxwriter.h>

namespace orv {

namespace {
QString g_folder;
const QString kCaption = QStringLiteral("提示");
constexpr int kMaxSheetRows = 1048576;
} // namespace

ExportSheet exportSheetFromModel(const QAbstractItemModel &model, const QList<int> &columns)
{
    QList<int> cols = columns;
    if (cols.isEmpty())
        for (int c = 0; c < model.columnCount(); ++c)
            cols << c;
    ExportSheet s;
    for (int c : cols)
        s.headers << model.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    for (int r = 0; r < model.rowCount(); ++r) {
        QStringList row;
        for (int c : cols)
            row << model.data(model.index(r, c), Qt::DisplayRole).toString();
        s.rows << row;
    }
    return s;
}

bool exportAsNumber(const QString &text, double *value)
{
    static const QRegularExpression plain(QStringLiteral("^[+-]?(\\d+(\\.\\d*)?|\\.\\d+)$"));
    if (!plain.match(text).hasMatch())
        return false;
    QString digits = text;
    digits.remove(QRegularExpression("[+-]"));
    const QString intPart = digits.section('.', 0, 0);
    if (intPart.size() > 1 && intPart.startsWith('0'))
        return false;
    QString significant = digits;
    significant.remove('.');
    while (significant.startsWith('0'))
        significant.remove(0, 1);
    while (significant.endsWith('0') && digits.contains('.') && !significant.isEmpty())
        significant.chop(1);
    if (significant.size() > 15)
        return false;
    bool ok = false;
    const double d = text.toDouble(&ok);
    if (ok && value)
        *value = d;
    return ok;
}

bool writeXlsx(const QString &path, const ExportSheet &sheet, QString *error)
{
    const int total = 1 + int(sheet.rows.size()) + (sheet.summary.isEmpty() ? 0 : 1);
    if (total > kMaxSheetRows) {
        if (error)
            *error = QStringLiteral("数据行数超过了一个工作表的上限(%1行)").arg(kMaxSheetRows - 1);
        return false;
    }
    const QByteArray file = QFile::encodeName(path);
    lxw_workbook *wb = workbook_new(file.constData());
    if (!wb) {
        if (error)
            *error = QStringLiteral("无法创建文件 %1").arg(path);
        return false;
    }
    lxw_worksheet *ws = workbook_add_worksheet(wb, nullptr);
    lxw_format *textFormat = workbook_add_format(wb);
    format_set_num_format_index(textFormat, 49); // the built-in "@"

    QList<int> formatted = sheet.textColumns;
    for (auto it = sheet.widths.begin(); it != sheet.widths.end(); ++it)
        if (!formatted.contains(it.key()))
            formatted << it.key();
    for (int col : formatted) {
        if (col < 1)
            continue;
        const bool text = sheet.textColumns.contains(col);
        const double width = sheet.widths.value(col, LXW_DEF_COL_WIDTH);
        worksheet_set_column(ws, lxw_col_t(col - 1), lxw_col_t(col - 1), width, text ? textFormat : nullptr);
    }

    auto put = [&](int row, int col, const QString &value, bool asText) {
        if (value.isEmpty())
            return;
        const bool textCol = sheet.textColumns.contains(col + 1);
        double number = 0;
        if (!asText && !textCol && exportAsNumber(value, &number)) {
            worksheet_write_number(ws, lxw_row_t(row), lxw_col_t(col), number, nullptr);
            return;
        }
        const QByteArray utf8 = value.toUtf8();
        worksheet_write_string(ws, lxw_row_t(row), lxw_col_t(col), utf8.constData(), textCol ? textFormat : nullptr);
    };

    for (int c = 0; c < sheet.headers.size(); ++c)
        put(0, c, sheet.headers[c], true);
    int r = 1;
    for (const QStringList &row : sheet.rows) {
        for (int c = 0; c < row.size(); ++c)
            put(r, c, row[c], false);
        ++r;
    }
    if (!sheet.summary.isEmpty())
        put(r, 0, sheet.summary, true);

    const lxw_error rc = workbook_close(wb);
    if (rc != LXW_NO_ERROR) {
        if (error)
            *error = QStringLiteral("无法写入文件 %1：%2").arg(path, QString::fromUtf8(lxw_strerror(rc)));
        return false;
    }
    return true;
}

QString ExcelExport::outputFolder()
{
    if (!g_folder.isEmpty())
        return g_folder;
    QString dir = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (dir.isEmpty() || !QDir().mkpath(dir))
        dir = QDir::homePath();
    return dir;
}

void ExcelExport::setOutputFolder(const QString &folder) { g_folder = folder; }

QString ExcelExport::newFilePath(const QString &baseName)
{
    static const QRegularExpression unsafe(QStringLiteral("[\\\\/:*?\"<>|\\s]+"));
    QString base = baseName;
    base.replace(unsafe, QStringLiteral("_"));
    if (base.isEmpty())
        base = QStringLiteral("导出");
    const QDir dir(outputFolder());
    const QString stamp = Clock::localNow().toString(QStringLiteral("yyyyMMdd_HHmmss"));
    QString path = dir.filePath(base + '_' + stamp + QStringLiteral(".xlsx"));
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = dir.filePath(base + '_' + stamp + '_' + QString::number(n) + QStringLiteral(".xlsx"));
    return path;
}

QString ExcelExport::notOpenedText(const QString &path)
{
    return QStringLiteral("导出的文件已保存在：%1\n桌面上没有能打开它的程序，请用电子表格程序打开该文件。")
        .arg(QDir::toNativeSeparators(path));
}

QString ExcelExport::run(QWidget *parent, const ExportSheet &sheet, const QString &baseName)
{
    if (sheet.rows.isEmpty())
        return QString();
    if (prompt().message(parent, kCaption, QStringLiteral("确认导出excel表吗？"), QMessageBox::Information,
                         QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok)
        return QString();
    QDir().mkpath(outputFolder());
    const QString path = newFilePath(baseName);
    QString error;
    if (!writeXlsx(path, sheet, &error)) {
        prompt().message(parent, kCaption, error, QMessageBox::Critical, QMessageBox::Ok);
        return QString();
    }
    prompt().message(parent, kCaption, QStringLiteral("数据导出完成!"), QMessageBox::Information, QMessageBox::Ok);
    // Without a spreadsheet program the workbook is still there: say where.
    if (!prompt().openExternal(path))
        prompt().message(parent, kCaption, notOpenedText(path), QMessageBox::Information, QMessageBox::Ok);
    return path;
}

} // namespace orv
