# The package step of every set-up script (sourced), built so that one stale
# index cannot stop it:
# - the indexes are updated up to three times, a pause between tries; an
#   index that still fails is named in one line and the others are used;
# - the install is tried as it is; when apt cannot resolve it, each
#   Multi-Arch: same package of the request's closure whose native candidate
#   (the version apt moves to when anything asks for more than is installed)
#   has no twin on a foreign architecture is pinned, on both, to the newest
#   version both have; that is a downgrade only where that version is older
#   than the installed one, and the output says so;
# - a failure that remains is one line naming the package and why; apt's own
#   output is kept in the log it names.

apt_sudo=()
[ "$(id -u)" -ne 0 ] && apt_sudo=(sudo)
apt_log=${TMPDIR:-/tmp}/tessvane-apt.log

# The given packages (name or name:arch) that are not installed.
apt_missing() {
  local p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || echo "$p"
  done
}

apt_update_indexes() {
  local try
  for try in 1 2 3; do
    "${apt_sudo[@]}" apt-get update -qq >"$apt_log" 2>&1 && return 0
    [ $try -lt 3 ] && sleep "${TESSVANE_APT_RETRY_PAUSE:-20}"
  done
  grep -o 'Failed to fetch [^ ]*  [^[]*' "$apt_log" | sed 's/^/An index still fails after three tries, the others are used: /' || true
  return 1
}

# Reads `apt-cache policy PKG:NATIVE PKG:FOREIGN ...` on standard input and
# prints, for each pair whose native candidate has no foreign twin, one line:
# "pin PKG VERSION", "downgrade PKG VERSION INSTALLED" or "none PKG".
apt_multiarch_pins() {
  local foreign=$1
  awk -v foreign="$foreign" '
    /^[^ ].*:$/ {
      header = substr($0, 1, length($0) - 1)
      suffix = ":" foreign
      if (substr(header, length(header) - length(suffix) + 1) == suffix) {
        pkg = substr(header, 1, length(header) - length(suffix)); arch = "F"
      } else {
        pkg = header; arch = "N"
        if (!(pkg in seen)) { seen[pkg] = 1; order[++count] = pkg }
      }
      next
    }
    /^  Installed: / { installed[pkg, arch] = $2; next }
    /^  Candidate: / { candidate[pkg, arch] = $2; next }
    /^ (\*\*\*|   ) [^ ]+ -?[0-9]+$/ {
      version = $(NF - 1)
      versions[pkg, arch, ++listed[pkg, arch]] = version
      if (version == installed[pkg, arch]) usable[pkg, arch, version] = 1
      next
    }
    /^        -?[0-9]+ / { if ($2 != "/var/lib/dpkg/status") usable[pkg, arch, version] = 1 }
    END {
      for (k = 1; k <= count; k++) {
        p = order[k]
        wanted = candidate[p, "N"]
        if (wanted == "" || wanted == "(none)" || usable[p, "F", wanted]) continue
        # The table lists newest first: passing the installed version before
        # a common one means going below it.
        own = installed[p, "N"]; common = ""; below = 0
        for (i = 1; i <= listed[p, "N"]; i++) {
          v = versions[p, "N", i]
          if (usable[p, "N", v] && usable[p, "F", v]) { common = v; break }
          if (v == own) below = 1
        }
        if (common == "") print "none " p
        else if (below) print "downgrade " p " " common " " own
        else print "pin " p " " common
      }
    }'
}

# The Multi-Arch: same packages of the request's closure that lie on both the
# native and a foreign architecture, as "name" lines.
apt_multiarch_closure() {
  local foreign=$1
  shift
  apt-cache depends --recurse --no-recommends --no-suggests --no-conflicts --no-breaks \
    --no-replaces --no-enhances "$@" 2>/dev/null | grep -v '^[ <]' | sed "s/:$foreign\$//; s/:.*//" | sort -u |
    xargs -r apt-cache show --no-all-versions 2>/dev/null |
    awk '/^Package: / { p = $2 } /^Multi-Arch: same/ { print p }' | sort -u
}

# The install arguments that pin the request's Multi-Arch: same packages.
# Sets apt_pin_args and apt_pin_downgrade; prints what it pins.
apt_pins_for() {
  local native foreign name version installed kind
  native=$(dpkg --print-architecture)
  apt_pin_args=()
  apt_pin_downgrade=0
  for foreign in $(dpkg --print-foreign-architectures); do
    mapfile -t names < <(apt_multiarch_closure "$foreign" "$@")
    [ ${#names[@]} -gt 0 ] || continue
    while read -r kind name version installed; do
      case $kind in
        none) echo "No version of $name exists for both $native and $foreign" ;;
        pin) echo "Pinning $name to $version on $native and $foreign" ;;
        downgrade)
          echo "Pinning $name to $version on $native and $foreign: a downgrade from $installed, the only version both have"
          apt_pin_downgrade=1
          ;;
      esac
      [ "$kind" = none ] || apt_pin_args+=("$name:$native=$version" "$name:$foreign=$version")
    done < <(apt-cache policy "${names[@]/%/:$native}" "${names[@]/%/:$foreign}" 2>/dev/null |
      apt_multiarch_pins "$foreign")
  done
}

# One line for what stopped apt: the first unmet dependency, else its error.
apt_failure_line() {
  local reason
  reason=$(grep -m1 -E '^ +[^ ]+ : (Depends|PreDepends|Conflicts|Breaks): ' "$apt_log" | sed 's/^ *//; s/  */ /g' || true)
  [ -n "$reason" ] || reason=$(grep -m1 '^E: ' "$apt_log" | sed 's/^E: //' || true)
  [ -n "$reason" ] || reason="apt-get failed"
  echo "Cannot install the packages: $reason (apt's output: $apt_log)" >&2
}

# Installs those of the given packages that are missing.
apt_install() {
  local missing
  mapfile -t missing < <(apt_missing "$@")
  [ ${#missing[@]} -gt 0 ] || return 0
  echo "Installing: ${missing[*]}"
  apt_update_indexes || true
  # -q, not -qq: the log keeps apt's account of unmet dependencies.
  local install=("${apt_sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends)
  "${install[@]}" "${missing[@]}" >"$apt_log" 2>&1 && return 0
  apt_pins_for "${missing[@]}"
  if [ ${#apt_pin_args[@]} -gt 0 ]; then
    [ $apt_pin_downgrade = 1 ] && install+=(--allow-downgrades)
    "${install[@]}" "${missing[@]}" "${apt_pin_args[@]}" >"$apt_log" 2>&1 && return 0
  fi
  apt_failure_line
  return 1
}

# Fetches a source package into the current folder: the candidate, else the
# release's own version (a security suite's .dsc can be missing).
apt_source() {
  local name=$1 release
  release=$(. /etc/os-release && echo "$VERSION_CODENAME")
  apt-get source -qq "$name" >"$apt_log" 2>&1 && return 0
  apt-get source -qq "$name/$release" >"$apt_log" 2>&1 && return 0
  echo "Cannot fetch the source of $name: $(grep -m1 '^E: ' "$apt_log" | sed 's/^E: //' || true) (apt's output: $apt_log)" >&2
  return 1
}
