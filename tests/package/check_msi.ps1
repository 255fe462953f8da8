# The msi on Windows itself, where Wine's msi differs (check_package.sh): installed per user as
# Windows Installer itself reports it, with the package's icon, and one Apps & features entry; a
# newer package replaces it in place; the uninstall removes the program, its Start menu entry, the
# product and its entry.
# Usage: check_msi.ps1 -Folder FOLDER [-Version VERSION], FOLDER holding Brindlework-VERSION-x64.msi
# and the package of the next version, as the linux job of .github/workflows/ci.yml makes them.
# Without -Version, the older of the two packages in FOLDER is the one installed first.
param([Parameter(Mandatory)][string]$Folder, [string]$Version)
$ErrorActionPreference = 'Stop'
$Folder = (Resolve-Path $Folder).Path
if (-not $Version) {
  # From the packages' names: the version file of a build exists only where the build configured.
  $found = @(Get-ChildItem -LiteralPath $Folder -Filter 'Brindlework-*-x64.msi' |
      ForEach-Object { [version]($_.Name -replace '^Brindlework-(.+)-x64\.msi$', '$1') } |
      Sort-Object)
  if ($found.Count -ne 2) { Write-Host "FAIL: $($found.Count) packages in $Folder, not 2"; exit 1 }
  $Version = "$($found[0])"
}
$v = [version]$Version
$newer = '{0}.{1}.{2}' -f $v.Major, $v.Minor, ($v.Build + 1)  # as check_package.sh names it
$program = Join-Path $env:LOCALAPPDATA 'Programs\Brindlework\Brindlework.exe'
$startEntry = Join-Path $env:APPDATA 'Microsoft\Windows\Start Menu\Programs\Brindlework.lnk'
$installer = New-Object -ComObject WindowsInstaller.Installer
$script:failed = 0
function Fail([string]$message) { Write-Host "FAIL: $message"; $script:failed++ }

# Runs msiexec without a user interface and gives its exit code; its log is shown on a failure.
function Msiexec([string]$action, [string]$version) {
  $msi = Join-Path $Folder "Brindlework-$version-x64.msi"
  $log = Join-Path $Folder "msiexec$($action -replace '/', '-')-$version.log"
  $run = Start-Process msiexec.exe -ArgumentList $action, "`"$msi`"", '/qn', '/l*v', "`"$log`"" `
    -Wait -PassThru
  if ($run.ExitCode -ne 0) { Get-Content $log -Tail 40 | Out-Host }
  return $run.ExitCode
}

# A property of an installed product as the Installer gives it; null when it has none.
function ProductProperty($product, [string]$name) {
  try { return $product.InstallProperty($name) } catch { return $null }
}

# The products named Brindlework that the Installer knows for this user in one installation
# context: 2 per user (unmanaged), 4 per machine.
function Products([int]$context) {
  try {
    $all = @($installer.ProductsEx('', '', $context))
  } catch {
    Fail "the Installer's products in context $context cannot be listed: $($_.Exception.Message)"
    return
  }
  $all | Where-Object { (ProductProperty $_ 'ProductName') -eq 'Brindlework' }
}

# The entries of Apps & features named Brindlework. Windows Installer writes them under HKLM (its
# "Uninstall Registry Key" page), per-user products' too by public reports: both roots are read.
# A malformed key of another program is passed over.
function Entries {
  foreach ($root in 'HKLM', 'HKCU') {
    Get-ChildItem "${root}:\Software\Microsoft\Windows\CurrentVersion\Uninstall" `
      -ErrorAction SilentlyContinue | Get-ItemProperty -ErrorAction SilentlyContinue |
      Where-Object { $_.DisplayName -eq 'Brindlework' }
  }
}

# One product, installed per user and not per machine, whose icon is a file; one entry of the
# version in Apps & features.
function Check-Installed([string]$version) {
  $user = @(Products 2)
  $machine = @(Products 4)
  Write-Host "Installer: $($user.Count) per-user products, $($machine.Count) per-machine"
  if ($machine.Count -ne 0) { Fail 'the product is installed per machine' }
  if ($user.Count -ne 1) {
    Fail "the Installer reports $($user.Count) per-user products"
  } else {
    # The icon of Apps & features: the Installer writes no DisplayIcon, it keeps the package's icon.
    $icon = "$(ProductProperty $user[0] 'ProductIcon')"
    Write-Host "product icon: $icon"
    if (-not $icon -or -not (Test-Path -LiteralPath $icon)) {
      Fail "the product's icon names no file: '$icon'"
    }
  }
  $entries = @(Entries)
  if ($entries.Count -ne 1) { Fail "Apps & features holds $($entries.Count) entries"; return }
  $entry = $entries[0]
  Write-Host "Apps & features: $($entry.DisplayVersion) at $($entry.PSPath)"
  if ($entry.DisplayVersion -ne $version) { Fail "the entry shows $($entry.DisplayVersion)" }
}

Write-Host "-- install $Version"
$code = Msiexec '/i' $Version
if ($code -ne 0) { Fail "msiexec /i exits $code" }
if (-not (Test-Path $program)) { Fail "no $program" }
if (-not (Test-Path $startEntry)) { Fail "no $startEntry" }
Check-Installed $Version

Write-Host "-- upgrade to $newer"
$code = Msiexec '/i' $newer
if ($code -ne 0) { Fail "msiexec /i of $newer exits $code" }
if (-not (Test-Path $program)) { Fail "the upgrade left no $program" }
Check-Installed $newer

Write-Host '-- uninstall'
$code = Msiexec '/x' $newer
if ($code -ne 0) { Fail "msiexec /x exits $code" }
if (Test-Path (Split-Path $program)) { Fail "the program's folder is still there" }
if (Test-Path $startEntry) { Fail 'the Start menu entry is still there' }
if (@(Products 2).Count -ne 0) { Fail 'the Installer still reports the product' }
if (@(Entries).Count -ne 0) { Fail 'Apps & features still holds an entry' }

if ($script:failed) { Write-Host "$($script:failed) package checks failed"; exit 1 }
Write-Host 'all package checks passed'
