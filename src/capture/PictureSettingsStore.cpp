#include "capture/PictureSettingsStore.h"

#include "platform/files/PrivateProfile.h"
#include "platform/files/ProgramFolder.h"

#include <cstdint>

namespace {
constexpr char kFileName[] = "/PictureSettings.ini";
constexpr char kSection[] = "Cameras";
constexpr std::uint32_t kAllRows = (1u << kPicturePropertyRows) - 1;

// One camera's record: which rows the user set, and their values.
struct StoredPicture {
    std::uint32_t setRows = 0; // bit per dialog row
    std::int32_t values[kPicturePropertyRows] = {};
};

QString FilePath()
{
    return WritableProgramFolder() + kFileName;
}

// Identities hold characters a profile key may not ('=', ']', ';'): the key is their hex.
QString KeyOf(const QString& identity)
{
    return QString::fromLatin1(identity.toUtf8().toHex());
}

StoredPicture Read(const QString& identity)
{
    StoredPicture stored;
    if (!GetPrivateProfileStruct(kSection, KeyOf(identity), &stored, sizeof stored, FilePath()) ||
        (stored.setRows & ~kAllRows) != 0) {
        return {};
    }
    return stored;
}

bool Write(const QString& identity, const StoredPicture& stored)
{
    return WritePrivateProfileStruct(kSection, KeyOf(identity), &stored, sizeof stored, FilePath()) == 1;
}

// True when the camera holds `value` for the property once it is set.
bool SetAndConfirm(VideoProcAmp& camera, int property, int value)
{
    int minimum = 0, maximum = 0, step = 0, byDefault = 0, flags = 0;
    if (camera.GetRange(property, &minimum, &maximum, &step, &byDefault, &flags) != 0 || value < minimum ||
        value > maximum || camera.Set(property, value, VideoProcAmp_Flags_Manual) != 0) {
        return false;
    }
    int now = 0;
    return camera.Get(property, &now, &flags) == 0 && now == value;
}
} // namespace

bool StorePictureValue(const QString& identity, int row, int value)
{
    if (identity.isEmpty() || row < 0 || row >= kPicturePropertyRows) {
        return false;
    }
    StoredPicture stored = Read(identity);
    stored.setRows |= 1u << row;
    stored.values[row] = value;
    return Write(identity, stored);
}

bool ForgetPictureValues(const QString& identity)
{
    if (identity.isEmpty() || Read(identity).setRows == 0) {
        return true;
    }
    return Write(identity, StoredPicture{});
}

int ApplyPictureValues(const QString& identity, VideoProcAmp& camera)
{
    const StoredPicture stored = Read(identity);
    const PicturePropertyRows& rows = PicturePropertyTable();
    int held = 0;
    for (int row = 0; row < kPicturePropertyRows; ++row) {
        if ((stored.setRows & (1u << row)) != 0 &&
            SetAndConfirm(camera, rows[std::size_t(row)].property, stored.values[row])) {
            ++held;
        }
    }
    return held;
}
