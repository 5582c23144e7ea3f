# A folder the program writes in, swapped with a link to a folder below
# system32 (sourced by race.sh): the settings folder during "/Clear" runs, or
# a hive's folder during "/Regdefrag" runs. Counted are the runs after which
# the folder below system32 had changed (a name made there, or a file there
# replaced), by what changed, with their exit codes; and, as a check, the
# runs that did their own work in the real folder.
road_setup() {
  caption="Windows - Temporary Files"
  if [ "$road" = settings ]; then
    folder=$settings
    system_folder=$system32/VantorelRaceSettings
    args=/Clear
  else
    folder=$temp/VantorelRaceHive
    system_folder=$system32/VantorelRaceHive
    args=/Regdefrag
    local key='HKCU\Software\VantorelRaceHive\A'
    for i in $(seq 1 20); do wine reg add "$key" /v "Value$i" /d "some data of the hive" /f >/dev/null 2>&1; done
    # Listed as the system lists hives: by the kernel's device path (Wine
    # names drive C: \Device\HarddiskVolume1).
    local windows_temp
    windows_temp=$(win_var TEMP)
    hive_value="\\REGISTRY\\USER\\$(user_sid)\\Software\\VantorelRaceHive\\A"
    wine reg add 'HKLM\SYSTEM\CurrentControlSet\Control\hivelist' /v "$hive_value" \
      /d "\\Device\\HarddiskVolume1${windows_temp:2}\\VantorelRaceHive\\A" /f >/dev/null 2>&1
  fi
  mkdir -p "$folder" "$settings"
  link=$folder.race-link
  rm -f "$link"
  ln -s "$system_folder" "$link"
  write_options "$caption" 0 "Who=user" "$race/template/options.ini"
  changed=0 worked=0 lost=0 changed_exit0=0
  declare -gA what=() codes=()
}

user_sid() { wine reg query HKU 2>/dev/null | tr -d '\r' | grep -o 'S-1-5-21-[0-9-]*' | head -n 1; }

road_cleanup() {
  [ "$road" = hive ] || return 0
  wine reg delete 'HKLM\SYSTEM\CurrentControlSet\Control\hivelist' /v "$hive_value" /f >/dev/null 2>&1 || true
  wine reg delete 'HKCU\Software\VantorelRaceHive' /f >/dev/null 2>&1 || true
  rm -rf "$folder" "$link" "$system_folder"
}

# The folder below system32 as a program of the system left it.
plant_system_folder() {
  rm -rf "$system_folder"
  mkdir -p "$system_folder"
  if [ "$road" = settings ]; then
    printf '[System]\r\nx=1\r\n' >"$system_folder/options.ini"
  else
    printf 'the system bak' >"$system_folder/A.bak"
    printf 'the system prev' >"$system_folder/A.bak.prev"
  fi
}

road_reset() {
  rm -rf "${folder:?}"/*
  cp "$race/template/options.ini" "$ini"
  if [ "$road" = hive ]; then
    head -c 65536 /dev/zero | tr '\0' h >"$folder/A"
    printf "the user's bak" >"$folder/A.bak"
  fi
  plant_system_folder
  before=$(snapshot "$system_folder")
  swap_a=$folder swap_b=$link
}

# What changed below system32 (made, replaced or removed), one word a name: log, scratch, settings, copy,
# backup or other.
changed_kinds() {
  comm -3 <(echo "$before") <(snapshot "$system_folder") | tr -d '\t' | while read -r name _; do
    case "$name" in
      *.log) echo log ;;
      '~vantorel-'*) echo scratch ;;
      options.ini) echo settings ;;
      *.fdc) echo copy ;;
      *.bak | *.bak.prev) echo backup ;;
      *) echo other ;;
    esac
  done | sort -u
}

road_judge() {
  codes[$code]=$((${codes[$code]:-0} + 1))
  local kinds
  kinds=$(changed_kinds)
  if [ -n "$kinds" ]; then
    changed=$((changed + 1))
    if [ "$code" -eq 0 ]; then changed_exit0=$((changed_exit0 + 1)); fi
    for k in $kinds; do what[$k]=$((${what[$k]:-0} + 1)); done
  fi
  if ! grep -q 'Who=user' "$ini" 2>/dev/null; then lost=$((lost + 1)); fi
  if [ "$road" = settings ] && [ -s "$folder/Clear.log" ]; then
    worked=$((worked + 1))
  elif [ "$road" = hive ] && [ -e "$folder/A.fdc" ] && [ -e "$folder/A.bak.prev" ]; then
    worked=$((worked + 1))
  fi
}

road_report() {
  local kinds="" k
  for k in "${!what[@]}"; do kinds+=" $k ${what[$k]},"; done
  local exits="" c
  for c in "${!codes[@]}"; do exits+=" $c:${codes[$c]}"; done
  echo "$road: $changed of $runs runs changed the folder below system32 (${kinds# }${kinds:+ }$changed_exit0 of them ended with 0);" \
    "the user's settings were lost in $lost; the run did its own work in the real folder in $worked; exit codes$exits"
}
