// Finding, choosing and checking the microscope.
#include "capture/CCaptureGraph.h"
#include "platform/camera/CameraHardwareIds.h"

namespace {
constexpr int kNameCapacity = 256;

int HardwareIdIndexOf(const QString& displayName)
{
    const HardwareIdTable& ids = SupportedHardwareIds();
    for (int i = 0; i < kSupportedHardwareIdCount; ++i) {
        if (displayName.contains(ids[i], Qt::CaseInsensitive)) {
            return i;
        }
    }
    return -1;
}

// Takes over the old table's selection when its device is still enumerated.
bool KeepPreviousChoice(CaptureDeviceTable& old, CaptureDeviceTable& scratch)
{
    bool kept = false;
    for (CaptureDeviceEntry& previous : old) {
        if (!previous.selected || !previous.moniker) {
            continue;
        }
        for (CaptureDeviceEntry& row : scratch) {
            if (row.moniker && row.moniker->IsEqual(*previous.moniker)) {
                row = previous;
                row.selected = 1;
                kept = true;
                break;
            }
        }
        previous.selected = 0;
    }
    return kept;
}

int BestSupportedRow(const CaptureDeviceTable& table)
{
    int best = -1;
    for (int i = 0; i < kCaptureDeviceRows; ++i) {
        const CaptureDeviceEntry& row = table[i];
        if (row.moniker && row.hardwareIdIndex >= 0 &&
            (best < 0 || row.hardwareIdIndex < table[best].hardwareIdIndex)) {
            best = i;
        }
    }
    return best;
}
} // namespace

int DecideDeviceClass(const std::vector<CameraCapability>& capabilities)
{
    static const struct {
        int width, height, deviceClass;
    } passes[] = {{2592, 1944, Class2592}, {1600, 1200, Class1600}, {1280, 1024, Class1280}};
    for (const auto& pass : passes) {
        for (const CameraCapability& cap : capabilities) {
            if (cap.width == pass.width && cap.height == pass.height) {
                return pass.deviceClass;
            }
        }
    }
    return -1;
}

int CCaptureGraph::FindDevices()
{
    if (!m_enumerator) {
        return 0;
    }
    CaptureDeviceTable scratch;
    int filled = 0;
    for (const CameraDeviceInfo& device : m_enumerator->EnumerateDevices()) {
        if (filled == kCaptureDeviceRows) {
            break;
        }
        CaptureDeviceEntry& row = scratch[filled++];
        row.displayName = device.displayName.left(kNameCapacity - 1);
        row.friendlyName = device.friendlyName.left(kNameCapacity - 1);
        row.moniker = std::make_shared<const CameraDeviceInfo>(device);
        row.hardwareIdIndex = HardwareIdIndexOf(row.displayName);
    }
    CaptureDeviceTable previous = m_table;
    const bool kept = KeepPreviousChoice(previous, scratch);
    const int best = kept ? -1 : BestSupportedRow(scratch);
    if (!kept && best < 0) {
        // Nothing to choose (the microscope is unplugged): keep the table and the
        // choice as they are, so the same device is chosen when it comes back.
        if (m_currentDevice < 0) {
            m_table = scratch;
            m_deviceCount = filled;
            m_hardwareId.clear();
        }
        return 0;
    }
    m_table = scratch;
    m_deviceCount = filled;
    m_currentDevice = -1;
    for (int i = 0; i < kCaptureDeviceRows; ++i) {
        if (m_table[i].selected) {
            m_currentDevice = i;
        }
    }
    if (kept) {
        return 1;
    }
    m_hardwareId = SupportedHardwareIds()[m_table[best].hardwareIdIndex];
    m_table[best].selected = 1;
    m_currentDevice = best;
    return 1;
}

int CCaptureGraph::SelectDevice(int index)
{
    if (index < 0 || index >= kCaptureDeviceRows || !m_table[index].moniker) {
        return 0;
    }
    if (index == m_currentDevice) {
        return 1;
    }
    TearDown();
    if (m_currentDevice >= 0) {
        m_table[m_currentDevice].selected = 0;
    }
    m_currentDevice = index;
    m_table[index].selected = 1;
    const int id = m_table[index].hardwareIdIndex;
    m_hardwareId = id >= 0 ? SupportedHardwareIds()[id] : QString();
    return InitCaptureFilters() && BuildGraph() && StartPreview() ? 1 : 0;
}

int CCaptureGraph::IsDevicePresent()
{
    if (m_hardwareId.isEmpty()) {
        return 0;
    }
    // An absent device keeps its hardware id: re-detection needs it to take the
    // same device again when it comes back.
    return m_enumerator && m_enumerator->IsUsbHardwareIdPresent("USB\\" + m_hardwareId) ? 1 : 0;
}
