#include <QJsonObject>
#include <QMessageBox>
