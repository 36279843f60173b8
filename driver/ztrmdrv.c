/*
 * ZTRMDRV: the project's simulated resource driver, a kernel-mode driver that
 * creates the device "\\.\ZTRMDRVSYS" and answers the resource manager's three
 * requests from the configuration in its service key's "Parameters" subkey
 * (ztrmdrv_config.h states the format). It stands in for the hardware so that
 * the whole system runs under Wine or on a Windows machine without a PXI
 * chassis.
 *
 * Every request is METHOD_BUFFERED and must come with the exact buffer sizes
 * of its layout; a wrong size fails with STATUS_INVALID_BUFFER_SIZE, an
 * unknown code with STATUS_INVALID_DEVICE_REQUEST, a bus without a readable
 * "Bus<n>" value with STATUS_NOT_FOUND, an unreadable "RootBusList" with
 * STATUS_INVALID_PARAMETER. The configuration is read at every request.
 */
#include <ddk/ntddk.h>

#include "ztrmdrv_config.h"

/* The request codes: device type 0x22, any access, buffered. */
#define DAS_IOC_GET_UPSTREAM_BRIDGE 0x2234DC
#define DAS_IOC_GET_ROOT_BUS_LIST 0x223504
#define DAS_IOC_GET_CHASSIS_MODULE_COUNT 0x2234E0
#define ROOT_BUS_LIST_SIZE (ZTRMDRV_ROOT_ROWS * ZTRMDRV_ROOT_ROWS + 1)

#define ZTRMDRV_TAG 0x4D52545A /* 'ZTRM' */

static WCHAR g_parameters_buffer[512];
static UNICODE_STRING g_parameters_path;
static UNICODE_STRING g_link_name;

/* A value of the Parameters key, in pool memory the caller frees; NULL when
 * the key or the value is missing or of another type. */
static PKEY_VALUE_PARTIAL_INFORMATION QueryParameter(const WCHAR *name, ULONG type1, ULONG type2) {
  OBJECT_ATTRIBUTES attributes;
  HANDLE key;
  UNICODE_STRING value_name;
  ULONG needed = 0;
  NTSTATUS status;
  PKEY_VALUE_PARTIAL_INFORMATION info;

  InitializeObjectAttributes(&attributes, &g_parameters_path,
                             OBJ_CASE_INSENSITIVE | OBJ_KERNEL_HANDLE, NULL, NULL);
  if (!NT_SUCCESS(ZwOpenKey(&key, KEY_READ, &attributes))) return NULL;
  RtlInitUnicodeString(&value_name, name);
  status = ZwQueryValueKey(key, &value_name, KeyValuePartialInformation, NULL, 0, &needed);
  if (status != STATUS_BUFFER_TOO_SMALL && status != STATUS_BUFFER_OVERFLOW) {
    ZwClose(key);
    return NULL;
  }
  info = (PKEY_VALUE_PARTIAL_INFORMATION)ExAllocatePoolWithTag(PagedPool, needed, ZTRMDRV_TAG);
  if (info == NULL) {
    ZwClose(key);
    return NULL;
  }
  status = ZwQueryValueKey(key, &value_name, KeyValuePartialInformation, info, needed, &needed);
  ZwClose(key);
  if (!NT_SUCCESS(status) || (info->Type != type1 && info->Type != type2)) {
    ExFreePoolWithTag(info, ZTRMDRV_TAG);
    return NULL;
  }
  return info;
}

static ULONG QueryDword(const WCHAR *name) {
  ULONG value = 0;
  PKEY_VALUE_PARTIAL_INFORMATION info = QueryParameter(name, REG_DWORD, REG_DWORD);
  if (info == NULL) return 0;
  if (info->DataLength == sizeof(ULONG)) RtlCopyMemory(&value, info->Data, sizeof(ULONG));
  ExFreePoolWithTag(info, ZTRMDRV_TAG);
  return value;
}

static NTSTATUS UpstreamBridge(uint8_t bus, uint8_t *out) {
  uint16_t name[8];
  NTSTATUS status = STATUS_NOT_FOUND;
  PKEY_VALUE_PARTIAL_INFORMATION info;
  ztrmdrv_bus_value_name(bus, name);
  info = QueryParameter((const WCHAR *)name, REG_SZ, REG_EXPAND_SZ);
  if (info == NULL) return STATUS_NOT_FOUND;
  if (ztrmdrv_upstream_answer((const uint16_t *)info->Data, info->DataLength / 2, out)) {
    status = STATUS_SUCCESS;
  }
  ExFreePoolWithTag(info, ZTRMDRV_TAG);
  return status;
}

static NTSTATUS RootBusList(uint8_t *out) {
  PKEY_VALUE_PARTIAL_INFORMATION info;
  uint8_t *table = (uint8_t *)ExAllocatePoolWithTag(PagedPool, ROOT_BUS_LIST_SIZE, ZTRMDRV_TAG);
  if (table == NULL) return STATUS_INSUFFICIENT_RESOURCES;
  RtlZeroMemory(table, ROOT_BUS_LIST_SIZE);
  info = QueryParameter(L"RootBusList", REG_SZ, REG_EXPAND_SZ);
  if (info != NULL) {
    const uint16_t *text = (const uint16_t *)info->Data;
    size_t len = info->DataLength / 2;
    if (!ztrmdrv_root_list_reads(text, len)) {
      ExFreePoolWithTag(info, ZTRMDRV_TAG);
      ExFreePoolWithTag(table, ZTRMDRV_TAG);
      return STATUS_INVALID_PARAMETER;
    }
    ztrmdrv_mark_root_list(text, len, table);
    ExFreePoolWithTag(info, ZTRMDRV_TAG);
  }
  table[ROOT_BUS_LIST_SIZE - 1] = ztrmdrv_clamp_byte(QueryDword(L"RootBusCount"));
  RtlCopyMemory(out, table, ROOT_BUS_LIST_SIZE);
  ExFreePoolWithTag(table, ZTRMDRV_TAG);
  return STATUS_SUCCESS;
}

static NTSTATUS WINAPI DispatchCreateClose(PDEVICE_OBJECT device, PIRP irp) {
  (void)device;
  irp->IoStatus.Status = STATUS_SUCCESS;
  irp->IoStatus.Information = 0;
  IoCompleteRequest(irp, IO_NO_INCREMENT);
  return STATUS_SUCCESS;
}

static NTSTATUS WINAPI DispatchDeviceControl(PDEVICE_OBJECT device, PIRP irp) {
  PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
  ULONG code = stack->Parameters.DeviceIoControl.IoControlCode;
  ULONG in_size = stack->Parameters.DeviceIoControl.InputBufferLength;
  ULONG out_size = stack->Parameters.DeviceIoControl.OutputBufferLength;
  uint8_t *buffer = (uint8_t *)irp->AssociatedIrp.SystemBuffer;
  NTSTATUS status = STATUS_INVALID_DEVICE_REQUEST;
  ULONG_PTR information = 0;
  (void)device;

  switch (code) {
    case DAS_IOC_GET_UPSTREAM_BRIDGE:
      if (in_size != 1 || out_size != 4 || buffer == NULL) {
        status = STATUS_INVALID_BUFFER_SIZE;
        break;
      }
      {
        uint8_t answer[4];
        status = UpstreamBridge(buffer[0], answer);
        if (NT_SUCCESS(status)) {
          RtlCopyMemory(buffer, answer, 4);
          information = 4;
        }
      }
      break;
    case DAS_IOC_GET_ROOT_BUS_LIST:
      if (in_size != ROOT_BUS_LIST_SIZE || out_size != ROOT_BUS_LIST_SIZE || buffer == NULL) {
        status = STATUS_INVALID_BUFFER_SIZE;
        break;
      }
      status = RootBusList(buffer);
      if (NT_SUCCESS(status)) information = ROOT_BUS_LIST_SIZE;
      break;
    case DAS_IOC_GET_CHASSIS_MODULE_COUNT:
      if (in_size != 1 || out_size != 2 || buffer == NULL) {
        status = STATUS_INVALID_BUFFER_SIZE;
        break;
      }
      buffer[0] = 0;
      buffer[1] = ztrmdrv_clamp_byte(QueryDword(L"ChassisModulesChanged"));
      status = STATUS_SUCCESS;
      information = 2;
      break;
    default:
      break;
  }
  irp->IoStatus.Status = status;
  irp->IoStatus.Information = information;
  IoCompleteRequest(irp, IO_NO_INCREMENT);
  return status;
}

static void WINAPI Unload(PDRIVER_OBJECT driver) {
  IoDeleteSymbolicLink(&g_link_name);
  if (driver->DeviceObject != NULL) IoDeleteDevice(driver->DeviceObject);
}

NTSTATUS WINAPI DriverEntry(PDRIVER_OBJECT driver, PUNICODE_STRING registry_path) {
  static const WCHAR kSuffix[] = L"\\Parameters";
  UNICODE_STRING device_name;
  PDEVICE_OBJECT device = NULL;
  NTSTATUS status;
  USHORT suffix_bytes = (USHORT)(sizeof kSuffix - sizeof(WCHAR));

  if (registry_path == NULL ||
      registry_path->Length + suffix_bytes > sizeof g_parameters_buffer - sizeof(WCHAR)) {
    return STATUS_NAME_TOO_LONG;
  }
  RtlCopyMemory(g_parameters_buffer, registry_path->Buffer, registry_path->Length);
  RtlCopyMemory((uint8_t *)g_parameters_buffer + registry_path->Length, kSuffix, sizeof kSuffix);
  g_parameters_path.Buffer = g_parameters_buffer;
  g_parameters_path.Length = (USHORT)(registry_path->Length + suffix_bytes);
  g_parameters_path.MaximumLength = sizeof g_parameters_buffer;

  RtlInitUnicodeString(&device_name, L"\\Device\\ZTRMDRVSYS");
  RtlInitUnicodeString(&g_link_name, L"\\DosDevices\\ZTRMDRVSYS");
  status = IoCreateDevice(driver, 0, &device_name, FILE_DEVICE_UNKNOWN, 0, FALSE, &device);
  if (!NT_SUCCESS(status)) return status;
  status = IoCreateSymbolicLink(&g_link_name, &device_name);
  if (!NT_SUCCESS(status)) {
    IoDeleteDevice(device);
    return status;
  }
  driver->MajorFunction[IRP_MJ_CREATE] = DispatchCreateClose;
  driver->MajorFunction[IRP_MJ_CLOSE] = DispatchCreateClose;
  driver->MajorFunction[IRP_MJ_DEVICE_CONTROL] = DispatchDeviceControl;
  driver->DriverUnload = Unload;
  return STATUS_SUCCESS;
}
