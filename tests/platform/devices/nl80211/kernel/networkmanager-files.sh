# Sourced by make-initramfs.sh (with $root, $here and copy_with_libs set):
# puts the system bus, udev, wpa_supplicant, NetworkManager and polkitd with
# their libraries, plugins, bus policies and configuration into the machine.
for tool in dbus-daemon NetworkManager nmcli wpa_supplicant udevadm; do
  command -v "$tool" >/dev/null || fail "$tool is not installed (see scripts/packages.txt)"
done
[ -x /usr/lib/polkit-1/polkitd ] || fail "polkitd is not installed"

copy_with_libs "$(command -v dbus-daemon)" /usr/bin/dbus-daemon
copy_with_libs "$(command -v NetworkManager)" /usr/sbin/NetworkManager
copy_with_libs "$(command -v nmcli)" /usr/bin/nmcli
copy_with_libs "$(command -v wpa_supplicant)" /usr/sbin/wpa_supplicant
copy_with_libs "$(command -v udevadm)" /usr/bin/udevadm
copy_with_libs /usr/lib/polkit-1/polkitd /usr/lib/polkit-1/polkitd
# busybox's setpriv cannot change the user; util-linux's can.
copy_with_libs /usr/bin/setpriv /usr/bin/setpriv.util-linux
ln -sf ../../usr/bin/udevadm "$root/usr/sbin/systemd-udevd"

# NetworkManager finds its device types in plugins: Wi-Fi is one.
nm_plugins=$(dirname "$(ls -d /usr/lib/x86_64-linux-gnu/NetworkManager/*/libnm-device-plugin-wifi.so)")
copy_with_libs "$nm_plugins/libnm-device-plugin-wifi.so"

# Bus policies, polkit actions, udev rules.
mkdir -p "$root/usr/share/dbus-1" "$root/etc/dbus-1" "$root/usr/share/polkit-1" "$root/usr/lib/udev" \
  "$root/etc/polkit-1/rules.d" "$root/etc/NetworkManager" "$root/var/lib/NetworkManager" "$root/var/lib/polkit-1"
cp -r /usr/share/dbus-1/system.d "$root/usr/share/dbus-1/"
[ -d /etc/dbus-1/system.d ] && cp -r /etc/dbus-1/system.d "$root/etc/dbus-1/"
cp -r /usr/share/polkit-1/actions "$root/usr/share/polkit-1/"
cp -r /lib/udev/rules.d "$root/usr/lib/udev/"

cat >"$root/etc/dbus-1/system-bus.conf" <<'CONF'
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>system</type>
  <listen>unix:path=/run/dbus/system_bus_socket</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="*"/>
    <deny own="*"/>
    <deny send_type="method_call"/>
    <allow send_type="signal"/>
    <allow send_requested_reply="true" send_type="method_return"/>
    <allow send_requested_reply="true" send_type="error"/>
    <allow receive_type="method_call"/>
    <allow receive_type="method_return"/>
    <allow receive_type="error"/>
    <allow receive_type="signal"/>
    <allow send_destination="org.freedesktop.DBus" send_interface="org.freedesktop.DBus"/>
    <allow send_destination="org.freedesktop.DBus" send_interface="org.freedesktop.DBus.Introspectable"/>
    <allow send_destination="org.freedesktop.DBus" send_interface="org.freedesktop.DBus.Properties"/>
  </policy>
  <policy user="root">
    <allow send_destination="org.freedesktop.DBus" send_interface="org.freedesktop.systemd1.Activator"/>
  </policy>
  <includedir>/usr/share/dbus-1/system.d</includedir>
  <includedir>/etc/dbus-1/system.d</includedir>
</busconfig>
CONF

# NetworkManager manages the scanner's radio only, and asks polkit who may
# start a scan.
cat >"$root/etc/NetworkManager/NetworkManager.conf" <<'CONF'
[main]
plugins=keyfile
auth-polkit=true

[keyfile]
unmanaged-devices=except:interface-name:wlan5

[logging]
level=INFO
CONF

# What a desktop's administrator writes to let a user scan without a
# password: this machine has no login session to count the user as active.
cat >"$root/etc/polkit-1/rules.d/50-tarvolin-scan.rules" <<'CONF'
polkit.addRule(function(action, subject) {
    if (action.id == "org.freedesktop.NetworkManager.wifi.scan" && subject.user == "user")
        return polkit.Result.YES;
});
CONF

echo "polkitd:x:996:996:polkit:/nonexistent:/bin/false" >>"$root/etc/passwd"
echo "messagebus:x:997:997:bus:/nonexistent:/bin/false" >>"$root/etc/passwd"
printf "polkitd:x:996:\nmessagebus:x:997:\n" >>"$root/etc/group"
echo "0123456789abcdef0123456789abcdef" >"$root/etc/machine-id"
