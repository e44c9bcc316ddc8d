#pragma once
/// \class TTaalDlg TaalDlg.h <vyn/TaalDlg.h>
/// TTaalDlg: lets the user choose the language of the library's dialogs,
/// English (Taal 0) or Dutch (1), in a small modal window. Execute returns
/// true when the user confirmed with OK; Taal is then the choice. Taal is
/// clamped to 0..1 and stays so; after Cancel it keeps its value. There is no
/// global language: copy Taal into each dialog. GUI thread only.

#include "VynExport.h"

#include <QObject>

class VYN_EXPORT TTaalDlg : public QObject {
    Q_OBJECT
    // The published property, for Qt's property system.
    Q_PROPERTY(int Taal MEMBER Taal)

public:
    /// A dialog showing English; it shows nothing until Execute.
    explicit TTaalDlg(QObject* owner = nullptr);

    int Taal = 0; ///< the language: 0 English, 1 Dutch (published property)

    /// Shows the window modally; true when the user left it with OK, and
    /// Taal is then the choice. False after Cancel or Esc, Taal unchanged.

    bool Execute();
};
