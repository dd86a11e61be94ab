#pragma once
// The host's local configuration file and the help file, both in the host's system folder.

#include <QString>

namespace uOperationFunc {
// Reads ident from section "SERVER" of CONFIG.INI in the system folder.
QString ReadServerConfig(const QString &ident, const QString &defaultValue);
// Writes a value into Config.Ini in the system folder.
void WriteConfigIni(const QString &section, const QString &ident, const QString &value);
// Opens a help topic ("welcome" when empty) of the help folder in the system folder.
void OpenHelpTopic(const QString &topic);
// The location OpenHelpTopic opens for a topic.
QString HelpTopicPath(const QString &topic);
bool ShowHelpUrl(const QString &path);
} // namespace uOperationFunc
