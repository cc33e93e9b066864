#pragma once
// Engine locale: every caption and message of the report engine and designer is read
// through GetLocalizedString from the program's string table (ids 53000 to 58104,
// frstrings.h). No resource library is loaded in this system; OnLocalize may override.
//
// The locale also holds the formatting settings the engine uses where it needs
// "the locale's" settings: decimal separator, short date and long time formats (patterns in
// the report pattern syntax: yyyy, mm, dd, hh, nn, ss).
#include <QImage>
#include <QString>
#include <functional>

class TfrLocale {
public:
    TfrLocale();

    // OnLocalize(StringID, Text): a non-empty Text wins over the string table.
    std::function<void(int stringId, QString &text)> OnLocalize;

    // Whether a resource library is loaded; never in this system.
    bool LibraryLoaded() const { return false; }

    // The text of a resource string; empty for an unknown id. Texts are whole
    // (never cut at 1024 bytes, which could split a character).
    QString LoadString(int stringId) const;
    // A bitmap resource of the program by name ("FR_EMPTY", "FR_SHAPE" ...); a null
    // image when none is registered. Other units register theirs with RegisterBitmap.
    QImage LoadBitmap(const QString &name) const;
    static void RegisterBitmap(const QString &name, const QImage &image);

    // The designer option LocalizedPropNames is kept here.
    bool LocalizedPropNames = false;

    // Formatting settings ("the locale's").
    QChar DecimalSeparator = QLatin1Char('.');
    QChar DateSeparator = QLatin1Char('-');
    QChar TimeSeparator = QLatin1Char(':');
    QString ShortDateFormat = QStringLiteral("yyyy-mm-dd");
    QString LongTimeFormat = QStringLiteral("hh:nn:ss");
};

// The engine's one locale, created on first use.
TfrLocale *GetEngineLocale();
// TfrLocale::LoadString of the engine locale.
QString GetLocalizedString(int stringId);
