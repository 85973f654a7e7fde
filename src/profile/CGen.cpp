#include "profile/CGen.h"

#include "profile/ProfileSession.h"
#include "profile/ProfileWriter.h"

#include <QFileInfo>
#include <QStringList>
#include <QVariant>

#include <cstdlib>

#include "comm/NumberText.h"

namespace {

std::string ConfigFolder()
{
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && *xdg)
        return xdg;
    const char* home = std::getenv("HOME");
    return std::string(home ? home : "") + "/.config";
}

// Text of a stored value whatever form the file gave it, cut at the first zero.
std::string StoredText(const QVariant& stored)
{
    QByteArray bytes;
    if (stored.typeId() == QMetaType::QStringList)
        bytes = stored.toStringList().join(',').toUtf8();
    else if (stored.typeId() == QMetaType::QByteArray)
        bytes = stored.toByteArray();
    else
        bytes = stored.toString().toUtf8();
    return std::string(bytes.constData());
}

}  // namespace

CGen::CGen() = default;
CGen::~CGen() = default;

std::string CGen::ProfileFile(const std::string& keyPath)
{
    std::string relative;
    size_t start = 0;
    while (start <= keyPath.size()) {
        size_t end = keyPath.find('\\', start);
        if (end == std::string::npos)
            end = keyPath.size();
        const std::string part = keyPath.substr(start, end - start);
        if (!part.empty() && part != "SOFTWARE")
            relative += (relative.empty() ? "" : "/") + part;
        start = end + 1;
    }
    return ConfigFolder() + "/" + relative + ".ini";
}

bool CGen::OpenProfile(const std::string& keyPath)
{
    m_profile.reset();
    const QString file = QString::fromStdString(ProfileFile(keyPath));
    m_profile = std::make_unique<ProfileSession>(file);   // a missing file is made by the first save
    return QFileInfo::exists(file);
}

void CGen::RemoveStaleProfileCopies(const std::string& keyPath)
{
    ProfileWriter::RemoveStaleCopies(QString::fromStdString(ProfileFile(keyPath)));
}

bool CGen::ReadProfileDword(const std::string& name, uint32_t& value, uint32_t defaultValue)
{
    value = defaultValue;
    if (!m_profile)
        return false;
    const QVariant stored = m_profile->Value(QString::fromStdString(name));
    if (!stored.isValid())
        return false;
    if (stored.typeId() != QMetaType::QString)
        return true;   // a form no number is read from: the default stays
    const std::string text = stored.toString().toStdString();
    if (text.size() > kValueCapacity)
        return false;
    value = static_cast<uint32_t>(NumberText::Decimal(text));
    return true;
}

bool CGen::ReadProfileString(const std::string& name, std::string& text, const std::string& defaultValue)
{
    text = defaultValue;
    if (!m_profile)
        return false;
    const QVariant stored = m_profile->Value(QString::fromStdString(name));
    if (!stored.isValid())
        return false;
    const std::string storedText = StoredText(stored);
    if (storedText.size() >= kValueCapacity)
        return false;
    text = storedText;
    return true;
}

bool CGen::WriteProfileDword(const std::string& name, uint32_t value)
{
    if (!m_profile)
        return false;
    // Stored as text, as the file holds it, so a value read back in this run looks the same.
    m_profile->SetValue(QString::fromStdString(name), QString::number(static_cast<int32_t>(value)));
    return true;
}

bool CGen::WriteProfileString(const std::string& name, const std::string& text)
{
    if (!m_profile)
        return false;
    m_profile->SetValue(QString::fromStdString(name), QString::fromStdString(text));
    return true;
}

void CGen::CloseProfile()
{
    if (m_profile)
        m_profile->Close();
    m_profile.reset();
}
