#include "platform/camera/UdevDevices.h"

#include "platform/camera/EvdevButton.h"

#include <QRegularExpression>
#include <QSocketNotifier>
#include <libudev.h>
#include <optional>

namespace {
struct UdevDeleter {
    void operator()(udev* u) const { udev_unref(u); }
    void operator()(udev_enumerate* e) const { udev_enumerate_unref(e); }
    void operator()(udev_device* d) const { udev_device_unref(d); }
    void operator()(udev_monitor* m) const { udev_monitor_unref(m); }
};
template <typename T> using UdevPtr = std::unique_ptr<T, UdevDeleter>;

QString Text(const char* s)
{
    return s ? QString::fromUtf8(s) : QString();
}

// Calls `fn` with every device of a subsystem (and optional devtype).
template <typename Fn> void ForEachDevice(const char* subsystem, const char* devtype, Fn fn)
{
    UdevPtr<udev> context(udev_new());
    if (!context) {
        return;
    }
    UdevPtr<udev_enumerate> list(udev_enumerate_new(context.get()));
    if (!list) {
        return;
    }
    udev_enumerate_add_match_subsystem(list.get(), subsystem);
    if (devtype) {
        udev_enumerate_add_match_property(list.get(), "DEVTYPE", devtype);
    }
    udev_enumerate_scan_devices(list.get());
    udev_list_entry* entry = nullptr;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(list.get()))
    {
        UdevPtr<udev_device> device(
            udev_device_new_from_syspath(context.get(), udev_list_entry_get_name(entry)));
        if (device) {
            fn(device.get());
        }
    }
}

std::optional<UdevVideoNode> VideoNodeOf(udev_device* device)
{
    udev_device* usb = udev_device_get_parent_with_subsystem_devtype(device, "usb", "usb_device");
    const char* node = udev_device_get_devnode(device);
    if (!usb || !node) {
        return std::nullopt;
    }
    UdevVideoNode info;
    info.devNode = Text(node);
    info.usbSysPath = Text(udev_device_get_syspath(usb));
    info.hardwareId = FormatHardwareId(Text(udev_device_get_sysattr_value(usb, "idVendor")),
                                       Text(udev_device_get_sysattr_value(usb, "idProduct")));
    info.busPath = Text(udev_device_get_property_value(device, "ID_PATH"));
    if (info.busPath.isEmpty()) {
        info.busPath = Text(udev_device_get_devpath(usb));
    }
    info.product = Text(udev_device_get_property_value(device, "ID_V4L_PRODUCT"));
    udev_device* interface = udev_device_get_parent_with_subsystem_devtype(device, "usb", "usb_interface");
    info.interfaceKey = Text(udev_device_get_devpath(interface ? interface : usb)) + "#" +
                        Text(udev_device_get_sysattr_value(device, "index"));
    return info;
}

int EventOf(const char* action, const char* subsystem)
{
    const QString what = Text(action);
    const bool video = Text(subsystem) == "video4linux";
    if (video && what == "add") {
        return DBT_DEVICEARRIVAL;
    }
    if (video && what == "remove") {
        return DBT_DEVICEREMOVECOMPLETE;
    }
    return DBT_DEVNODES_CHANGED;
}
} // namespace

QString FormatHardwareId(const QString& idVendor, const QString& idProduct)
{
    static const QRegularExpression hex4("^[0-9a-fA-F]{4}$");
    const QString vendor = idVendor.trimmed(), product = idProduct.trimmed();
    if (!hex4.match(vendor).hasMatch() || !hex4.match(product).hasMatch()) {
        return {};
    }
    return "vid_" + vendor.toLower() + "&pid_" + product.toLower();
}

std::vector<UdevVideoNode> ListUsbVideoNodes()
{
    std::vector<UdevVideoNode> nodes;
    ForEachDevice("video4linux", nullptr, [&](udev_device* device) {
        if (auto node = VideoNodeOf(device); node && !node->hardwareId.isEmpty()) {
            nodes.push_back(*node);
        }
    });
    return nodes;
}

QStringList PresentUsbHardwareIds()
{
    QStringList ids;
    ForEachDevice("usb", "usb_device", [&](udev_device* device) {
        const QString id = FormatHardwareId(Text(udev_device_get_sysattr_value(device, "idVendor")),
                                            Text(udev_device_get_sysattr_value(device, "idProduct")));
        if (!id.isEmpty()) {
            ids << "USB\\" + id.toUpper();
        }
    });
    return ids;
}

QString CameraButtonNode(const QString& usbSysPath)
{
    QString found;
    ForEachDevice("input", nullptr, [&](udev_device* device) {
        const char* node = udev_device_get_devnode(device);
        udev_device* usb = udev_device_get_parent_with_subsystem_devtype(device, "usb", "usb_device");
        if (!found.isEmpty() || !node || !usb || Text(udev_device_get_syspath(usb)) != usbSysPath ||
            !Text(node).contains("/event")) {
            return;
        }
        if (EvdevButton::HasCameraKey(Text(node))) {
            found = Text(node);
        }
    });
    return found;
}

struct UdevWatcher::Impl {
    DeviceChangeHandler handler;
    UdevPtr<udev> context;
    UdevPtr<udev_monitor> monitor;
    std::unique_ptr<QSocketNotifier> notifier;

    void Read()
    {
        UdevPtr<udev_device> device(udev_monitor_receive_device(monitor.get()));
        if (device && handler) {
            handler(EventOf(udev_device_get_action(device.get()), udev_device_get_subsystem(device.get())),
                    DBT_DEVTYP_DEVICEINTERFACE);
        }
    }
};

UdevWatcher::UdevWatcher(DeviceChangeHandler handler) : m_impl(std::make_unique<Impl>())
{
    m_impl->handler = std::move(handler);
    m_impl->context.reset(udev_new());
    if (!m_impl->context) {
        return;
    }
    m_impl->monitor.reset(udev_monitor_new_from_netlink(m_impl->context.get(), "udev"));
    udev_monitor* monitor = m_impl->monitor.get();
    if (!monitor || udev_monitor_filter_add_match_subsystem_devtype(monitor, "video4linux", nullptr) < 0 ||
        udev_monitor_filter_add_match_subsystem_devtype(monitor, "usb", "usb_device") < 0 ||
        udev_monitor_enable_receiving(monitor) < 0) {
        m_impl->monitor.reset();
        return;
    }
    m_impl->notifier = std::make_unique<QSocketNotifier>(udev_monitor_get_fd(monitor), QSocketNotifier::Read);
    Impl* impl = m_impl.get();
    QObject::connect(m_impl->notifier.get(), &QSocketNotifier::activated, [impl] { impl->Read(); });
}

UdevWatcher::~UdevWatcher() = default;

bool UdevWatcher::active() const
{
    return m_impl->notifier != nullptr;
}
