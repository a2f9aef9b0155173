# The Debian packages the game, its tests and its tools need; install_missing
# installs those not yet there (apt-get as root, sudo otherwise).
packages="cmake g++ make pkg-config libgtest-dev libbenchmark-dev
  liballegro4-dev libx11-dev libdumb1-dev libaldmb1-dev libboost-dev
  python3 xvfb xauth xdotool x11-apps imagemagick sox"

install_missing() {
  local missing=()
  for p in $packages; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
