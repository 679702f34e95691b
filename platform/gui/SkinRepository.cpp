#include "platform/gui/SkinRepository.h"

#include "platform/gui/SkinInterface.h"
#include "support/Trace.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QWidget>

#include <algorithm>

namespace {

CSkinRepository* g_repository = nullptr;

// The skin name as a pattern over file names: '?' stands for one
// character or none (so "default?.sdf" also finds a plain "default.qss"),
// '*' for any run, and the old ".sdf" extension also matches ".qss".
QRegularExpression SkinNamePattern(const QString& name)
{
    QString base = name;
    bool anyExtension = false;
    if (base.endsWith(QStringLiteral(".sdf"), Qt::CaseInsensitive)) {
        base.chop(4);
        anyExtension = true;
    }
    QString pattern;
    for (const QChar c : base) {
        if (c == QLatin1Char('?'))
            pattern += QStringLiteral(".?");
        else if (c == QLatin1Char('*'))
            pattern += QStringLiteral(".*");
        else
            pattern += QRegularExpression::escape(QString(c));
    }
    if (anyExtension)
        pattern += QStringLiteral("\\.(sdf|qss)");
    return QRegularExpression(QRegularExpression::anchoredPattern(pattern), QRegularExpression::CaseInsensitiveOption);
}

}  // namespace

CSkinRepository::CSkinRepository()
{
    if (!g_repository)
        g_repository = this;
}

CSkinRepository::~CSkinRepository()
{
    // The windows outliving us must not call back into a dead repository.
    const std::vector<CSkinInterface*> components = std::move(m_components);
    m_components.clear();
    for (CSkinInterface* component : components)
        component->Unload();
    if (g_repository == this)
        g_repository = nullptr;
}

CSkinRepository* CSkinRepository::GetSkinRepository()
{
    return g_repository;
}

bool CSkinRepository::SetSkinsFolder(const QString& folder)
{
    m_folder = QDir::fromNativeSeparators(folder);
    if (!QDir(m_folder).exists()) {
        TraceMessage(g_traceSkinables, TRACE_ERROR, "The skins folder %s does not exist\n", m_folder);
        return false;
    }
    return true;
}

bool CSkinRepository::LoadSkin(const QString& name, QStringList* list, bool /*reserved1*/, bool /*reserved2*/)
{
    if (list)
        list->clear();
    if (name.isEmpty() || m_folder.isEmpty())
        return false;
    const QRegularExpression pattern = SkinNamePattern(name);
    QStringList matches;
    const QStringList files = QDir(m_folder).entryList(QDir::Files | QDir::Readable, QDir::Name);
    for (const QString& file : files)
        if (pattern.match(file).hasMatch())
            matches << file;
    if (list)
        *list = matches;
    if (matches.isEmpty()) {
        TraceMessage(g_traceSkinables, TRACE_ERROR, "No skin %s in %s\n", name, m_folder);
        return false;
    }
    QFile file(QDir(m_folder).filePath(matches.front()));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        TraceMessage(g_traceSkinables, TRACE_ERROR, "Cannot read the skin %s\n", file.fileName());
        return false;
    }
    SetStyleSheet(QString::fromUtf8(file.readAll()));
    TraceMessage(g_traceSkinables, TRACE_INFO, "Skin %s loaded\n", file.fileName());
    return true;
}

void CSkinRepository::SetStyleSheet(const QString& styleSheet)
{
    m_styleSheet = styleSheet;
    for (CSkinInterface* component : m_components)
        ApplyTo(component);
}

void CSkinRepository::AddComponent(CSkinInterface* component)
{
    if (!component || std::find(m_components.begin(), m_components.end(), component) != m_components.end())
        return;
    m_components.push_back(component);
    ApplyTo(component);
}

bool CSkinRepository::RemoveComponent(const CSkinInterface* component)
{
    const auto found = std::find(m_components.begin(), m_components.end(), component);
    if (found == m_components.end())
        return false;
    m_components.erase(found);
    return true;
}

void CSkinRepository::ApplyTo(CSkinInterface* component) const
{
    if (QWidget* widget = component->SkinWidget())
        widget->setStyleSheet(m_styleSheet);
    component->Update();
    component->OnUpdate();
}
