# Sourced by run.sh and test.sh: installs the Debian packages that are missing
# (one apt-get update, one apt-get install), and nothing when all are present.
KVR_PACKAGES="cmake ninja-build g++ zlib1g-dev \
  qt6-base-dev qt6-base-dev-tools qt6-declarative-dev qt6-5compat-dev qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools \
  qml6-module-qtquick qml6-module-qtquick-controls qml6-module-qtquick-layouts \
  qml6-module-qtquick-window qml6-module-qtquick-dialogs qml6-module-qtquick-shapes \
  qml6-module-qtqml qml6-module-qtquick-templates qml6-module-qtqml-workerscript \
  qml6-module-qtqml-models qt6-qpa-plugins fonts-dejavu-core \
  xvfb xauth xdotool imagemagick libgl1-mesa-dri libxml2-utils iputils-ping \
  clang libclang-rt-14-dev"

kvr_install_missing() {
    local missing=""
    for p in $KVR_PACKAGES; do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
            missing="$missing $p"
        fi
    done
    if [ -n "$missing" ]; then
        echo "Installing:$missing"
        local sudo=""
        [ "$(id -u)" -ne 0 ] && sudo="sudo"
        $sudo apt-get update -qq
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends $missing
    fi
}
