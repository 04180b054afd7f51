#include "platform/camera/UdevDevices.h"

#include <QRegularExpression>
#include <QSocketNotifier>
#include <libudev.h>

namespace {
struct UdevDeleter {
    void operator()(udev* u) const { udev_unref(u); }
    void operator()(udev_enumerate* e) const { udev_enumerate_unref(e); }
    void operator()(udev_device* d) const { udev_device_unref(d); }
    void operator()(udev_monitor* m) const { udev_monitor_unref(m); }
    void operator()(udev_queue* q) const { udev_queue_unref(q); }
};
template <typename T> using UdevPtr = std::unique_ptr<T, UdevDeleter>;

QString Text(const char* s)
{
    return s ? QString::fromUtf8(s) : QString();
}

UdevRecord RecordOf(udev_device* device)
{
    UdevRecord record;
    record.subsystem = Text(udev_device_get_subsystem(device));
    record.devNode = Text(udev_device_get_devnode(device));
    udev_device* usb = record.subsystem == kSubsystemUsb
                           ? device
                           : udev_device_get_parent_with_subsystem_devtype(device, "usb", "usb_device");
    if (!usb) {
        return record;
    }
    record.usbSysPath = Text(udev_device_get_syspath(usb));
    record.hardwareId = FormatHardwareId(Text(udev_device_get_sysattr_value(usb, "idVendor")),
                                         Text(udev_device_get_sysattr_value(usb, "idProduct")));
    record.serial = Text(udev_device_get_sysattr_value(usb, "serial")).trimmed();
    record.busPath = Text(udev_device_get_property_value(device, "ID_PATH"));
    if (record.busPath.isEmpty()) {
        record.busPath = Text(udev_device_get_devpath(usb));
    }
    record.product = Text(udev_device_get_property_value(device, "ID_V4L_PRODUCT"));
    if (record.product.isEmpty() && record.subsystem == kSubsystemVideo) {
        // Without udev's database (no udev daemon, as in containers) sysfs still has the card name.
        record.product = Text(udev_device_get_sysattr_value(device, "name")).trimmed();
    }
    record.v4lCapabilities = Text(udev_device_get_property_value(device, "ID_V4L_CAPABILITIES"));
    if (record.subsystem == kSubsystemVideo) {
        udev_device* interface =
            udev_device_get_parent_with_subsystem_devtype(device, "usb", "usb_interface");
        record.interfaceKey = Text(udev_device_get_devpath(interface ? interface : usb)) + "#" +
                              Text(udev_device_get_sysattr_value(device, "index"));
    }
    return record;
}

// udev's own notices come once its rules have run (nodes named, permissions set). Where
// no udev daemon runs (containers, small systems) they never come; the kernel's notices
// are then the only ones, and devtmpfs has made the node before the kernel tells.
const char* EventSource(udev* context)
{
    UdevPtr<udev_queue> queue(udev_queue_new(context));
    return queue && udev_queue_get_udev_is_active(queue.get()) ? "udev" : "kernel";
}

class SystemUdevWatch : public UdevWatch {
public:
    explicit SystemUdevWatch(std::function<void(const UdevNotice&)> handler) : m_handler(std::move(handler))
    {
        m_context.reset(udev_new());
        if (!m_context) {
            return;
        }
        m_monitor.reset(udev_monitor_new_from_netlink(m_context.get(), EventSource(m_context.get())));
        udev_monitor* monitor = m_monitor.get();
        if (!monitor ||
            udev_monitor_filter_add_match_subsystem_devtype(monitor, "video4linux", nullptr) < 0 ||
            udev_monitor_filter_add_match_subsystem_devtype(monitor, "input", nullptr) < 0 ||
            udev_monitor_filter_add_match_subsystem_devtype(monitor, "usb", "usb_device") < 0 ||
            udev_monitor_enable_receiving(monitor) < 0) {
            m_monitor.reset();
            return;
        }
        m_notifier = std::make_unique<QSocketNotifier>(udev_monitor_get_fd(monitor), QSocketNotifier::Read);
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated, [this] { Read(); });
    }
    bool active() const { return m_notifier != nullptr; }

private:
    void Read()
    {
        UdevPtr<udev_device> device(udev_monitor_receive_device(m_monitor.get()));
        if (device && m_handler) {
            m_handler({Text(udev_device_get_action(device.get())), RecordOf(device.get())});
        }
    }

    std::function<void(const UdevNotice&)> m_handler;
    UdevPtr<udev> m_context;
    UdevPtr<udev_monitor> m_monitor;
    std::unique_ptr<QSocketNotifier> m_notifier;
};

class SystemUdevSource : public UdevSource {
public:
    std::vector<UdevRecord> Devices(const QString& subsystem) override
    {
        std::vector<UdevRecord> records;
        UdevPtr<udev> context(udev_new());
        UdevPtr<udev_enumerate> list(context ? udev_enumerate_new(context.get()) : nullptr);
        if (!list) {
            return records;
        }
        const QByteArray name = subsystem.toUtf8();
        udev_enumerate_add_match_subsystem(list.get(), name.constData());
        if (subsystem == kSubsystemUsb) {
            udev_enumerate_add_match_property(list.get(), "DEVTYPE", "usb_device");
        }
        udev_enumerate_scan_devices(list.get());
        udev_list_entry* entry = nullptr;
        udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(list.get()))
        {
            UdevPtr<udev_device> device(
                udev_device_new_from_syspath(context.get(), udev_list_entry_get_name(entry)));
            if (!device) {
                continue;
            }
            UdevRecord record = RecordOf(device.get());
            if (!record.usbSysPath.isEmpty()) {
                records.push_back(std::move(record));
            }
        }
        return records;
    }

    std::unique_ptr<UdevWatch> Watch(std::function<void(const UdevNotice&)> handler) override
    {
        auto watch = std::make_unique<SystemUdevWatch>(std::move(handler));
        if (!watch->active()) {
            return nullptr;
        }
        return watch;
    }
};
} // namespace

std::shared_ptr<UdevSource> SystemUdev()
{
    static const std::shared_ptr<UdevSource> source = std::make_shared<SystemUdevSource>();
    return source;
}

QString FormatHardwareId(const QString& idVendor, const QString& idProduct)
{
    static const QRegularExpression hex4("^[0-9a-fA-F]{4}$");
    const QString vendor = idVendor.trimmed(), product = idProduct.trimmed();
    if (!hex4.match(vendor).hasMatch() || !hex4.match(product).hasMatch()) {
        return {};
    }
    return "vid_" + vendor.toLower() + "&pid_" + product.toLower();
}

bool IsCaptureNode(const UdevRecord& record)
{
    return record.subsystem == kSubsystemVideo && record.v4lCapabilities.contains(":capture:");
}

bool IsInputEventNode(const UdevRecord& record)
{
    return record.subsystem == kSubsystemInput && record.devNode.contains("/event");
}
