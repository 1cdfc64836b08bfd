# The Debian packages that build, test and run Fenlow. Sourced by the set-up scripts.
FENLOW_PACKAGES=(build-essential cmake qt6-base-dev libqt6sql6-sqlite fonts-ipafont-gothic xvfb xauth sqlite3 scdoc mdbtools-dev pkg-config)

fenlow_install_packages() {
  local missing=()
  local package
  for package in "${FENLOW_PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$package")
    fi
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
  fi
}
